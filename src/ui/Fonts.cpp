#include "ui/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QSet>
#include <QString>

void RegisterTahoma()
{
    // Qt hands out a new id for every call with the same file, which would list the family's
    // styles twice; remember what is already in.
    static QSet<QString> registered;
    for (const char* name : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(name);
        if (registered.contains(path) || !QFile::exists(path))
            continue;
        if (QFontDatabase::addApplicationFont(path) >= 0)
            registered.insert(path);
    }
}
