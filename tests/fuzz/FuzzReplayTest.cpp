// The fuzz targets' kept inputs through the targets' own code: every input that once made a
// target fail (fuzz/crashes/<target>/) and the seed corpora (fuzz/corpus/<target>/). A target's
// checks throw here where the fuzzer would abort.

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>

#include "FuzzTarget.h"
#include "TestRegistry.h"

namespace {

TFuzzTargetInfo* FindTarget(const QString& name)
{
    for (TFuzzTargetInfo& target : FuzzTargets())
        if (name == QLatin1String(target.Name))
            return &target;
    return nullptr;
}

void ReleaseAll()
{
    for (const TFuzzTargetInfo& target : FuzzTargets())
        if (target.Release)
            target.Release();
}

} // namespace

class FuzzReplayTest : public QObject {
    Q_OBJECT
    QString Running;  // the target whose state is held

private slots:
    void cleanupTestCase() { ReleaseAll(); }

    void KeptInputs_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        QStringList targets;
        for (const TFuzzTargetInfo& target : FuzzTargets())
            targets << QString::fromLatin1(target.Name);
        targets.sort();
        for (const QString& target : targets)
            for (const char* kind : {"crashes", "corpus"}) {
                const QDir dir(QStringLiteral(TARVIK_FUZZ_DIR "/%1/%2").arg(QLatin1String(kind), target));
                for (const QString& file : dir.entryList(QDir::Files, QDir::Name))
                    QTest::newRow(qPrintable(target + u'/' + kind + u'/' + file)) << target << dir.filePath(file);
            }
    }
    void KeptInputs()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        TFuzzTargetInfo* info = FindTarget(target);
        QVERIFY(info && info->Run);
        // One target's window at a time.
        if (Running != target) {
            ReleaseAll();
            Running = target;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        try {
            info->Run(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        } catch (const TFuzzFailure& failure) {
            QFAIL(failure.what());
        }
    }
};

TARVIK_TEST(FuzzReplayTest)
#include "FuzzReplayTest.moc"
