#include "ProgramFixture.h"

#include <QFile>

#include "core/ProgramState.h"
#include "ui/Startup.h"

TProgramFixture::TProgramFixture()
{
    SetAppDirForTests(Temp.path());
    ResetProgramState();
    AppDir = ProgramDirectory();
    InstallDialogs(&Dialogs);
}

TProgramFixture::~TProgramFixture()
{
    InstallDialogs(nullptr);
    SetAppDirForTests(QString());
}

QString TProgramFixture::Dir() const { return Temp.path() + u'/'; }

void TProgramFixture::WriteFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("fixture: cannot write %s", qPrintable(Path(name)));
}

QByteArray TProgramFixture::ReadFile(const QString& name) const
{
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
