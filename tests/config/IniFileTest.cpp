#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "config/IniFile.h"
#include "core/Errors.h"

namespace {

const QString Fallback = QStringLiteral("<default>");

} // namespace

class IniFileTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

    QString IniPath() const { return Fixture->Path("test.ini"); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void ReadString_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names in any case") << QByteArray("[GeNeRaL]\r\nwritelog=1\r\n") << "General" << "WRITELOG" << "1";
        QTest::newRow("blanks around name and value")
            << QByteArray("[S]\r\n  Key \t=  some value \t\r\n") << "S" << "key" << "some value";
        QTest::newRow("text after the first =") << QByteArray("[S]\nk=a=b\n") << "S" << "k" << "a=b";
        QTest::newRow("blanks around the header") << QByteArray("  [ S ]  trailing\nk=1\n") << "s" << "k" << "1";
        QTest::newRow("LF only") << QByteArray("[A]\nx=1\n[B]\nx=2\n") << "B" << "x" << "2";
        QTest::newRow("no line end at the end") << QByteArray("[A]\r\nx=last") << "A" << "x" << "last";
        QTest::newRow("present but empty") << QByteArray("[S]\r\nk=   \r\n") << "S" << "k" << "";
        QTest::newRow("key absent") << QByteArray("[S]\r\nother=1\r\n") << "S" << "k" << Fallback;
        QTest::newRow("section absent") << QByteArray("[T]\r\nk=1\r\n") << "S" << "k" << Fallback;
        QTest::newRow("key of the next section") << QByteArray("[S]\r\nj=1\r\n[T]\r\nk=2\r\n") << "S" << "k" << Fallback;
        QTest::newRow("key before any section") << QByteArray("k=1\r\n[S]\r\n") << "S" << "k" << Fallback;
        QTest::newRow("first key wins") << QByteArray("[S]\r\nk=1\r\nK=2\r\n") << "S" << "k" << "1";
        QTest::newRow("first section wins") << QByteArray("[S]\r\nk=1\r\n[s]\r\nj=2\r\n") << "S" << "j" << Fallback;
        QTest::newRow("line without = is no key") << QByteArray("[S]\r\nk\r\nk=5\r\n") << "S" << "k" << "5";
        QTest::newRow("header ends at the first ]") << QByteArray("[S] x ]\r\nk=1\r\n") << "S" << "k" << "1";
        QTest::newRow("double quotes dropped") << QByteArray("[S]\r\nk=\"ACME \"\r\n") << "S" << "k" << "ACME ";
        QTest::newRow("single quotes dropped") << QByteArray("[S]\r\nk='3'\r\n") << "S" << "k" << "3";
        QTest::newRow("unmatched quote kept") << QByteArray("[S]\r\nk=\"3\r\n") << "S" << "k" << "\"3";
        QTest::newRow("[ without ] starts no section") << QByteArray("[S]\r\n[broken\r\nk=1\r\n") << "S" << "k" << "1";
        QTest::newRow("prefix of a name is not the name") << QByteArray("[S]\r\nkey1=1\r\n") << "S" << "key" << Fallback;
        QTest::newRow("latin-1") << QByteArray("[PSU]\r\nVendor=M\xfcller\r\n") << "PSU" << "Vendor" << "M\u00fcller";
        QTest::newRow("latin-1 in names") << QByteArray("[\xc4]\r\n\xe9=1\r\n") << "\u00e4" << "\u00c9" << "1";
        QTest::newRow("NUL inside a value")
            << QByteArrayLiteral("[S]\r\nk=a\0b\r\n") << "S" << "k" << QString::fromLatin1("a\0b", 3);
    }
    void ReadString()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        Fixture->WriteFile("test.ini", file);
        QCOMPARE(TIniFile(IniPath()).ReadString(section, key, Fallback), expected);
    }

    void AWriteKeepsTheFilesPermissions()
    {
        Fixture->WriteFile("p.ini", "[S]\r\nk=1\r\n");
        const QString path = Fixture->Path("p.ini");
        const QFileDevice::Permissions groupRead = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, groupRead));
        TIniFile(path).WriteString("S", "k", "2");
        QCOMPARE(Fixture->ReadFile("p.ini"), QByteArray("[S]\r\nk=2\r\n"));
        const QFileDevice::Permissions bits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFile::permissions(path) & bits, groupRead);
    }

    void ReadAbsentFileOrDirectoryGivesDefaults()
    {
        QVERIFY(QDir(Fixture->Dir()).mkdir("folder.ini"));
        for (const QString& path : {IniPath(), Fixture->Path("folder.ini"), QString()}) {
            const TIniFile ini(path);
            QCOMPARE(ini.ReadString("S", "k", Fallback), Fallback);
            QCOMPARE(ini.ReadInteger("S", "k", -3), -3);
            QCOMPARE(ini.ReadBool("S", "k", true), true);
            QCOMPARE(ini.ReadFloat("S", "k", 0.25), 0.25);
        }
        QVERIFY(!QFile::exists(IniPath()));
    }

    void ReadTypedValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("integer");   // default 7
        QTest::addColumn<bool>("boolean");  // default true
        QTest::addColumn<double>("real");   // default 0.8
        QTest::newRow("decimal") << QByteArray("12") << 12 << true << 12.0;
        QTest::newRow("negative") << QByteArray("-5") << -5 << true << -5.0;
        QTest::newRow("zero is false") << QByteArray("0") << 0 << false << 0.0;
        QTest::newRow("dollar hex") << QByteArray("$1F") << 31 << true << 0.8;
        QTest::newRow("0x hex") << QByteArray("0x10") << 16 << true << 0.8;
        QTest::newRow("padded") << QByteArray("  42\t") << 42 << true << 42.0;
        QTest::newRow("fraction") << QByteArray("0.5") << 7 << true << 0.5;
        QTest::newRow("comma") << QByteArray("0,5") << 7 << true << 0.8;
        QTest::newRow("exponent") << QByteArray("1e3") << 7 << true << 1000.0;
        QTest::newRow("garbage") << QByteArray("abc") << 7 << true << 0.8;
        QTest::newRow("digits then garbage") << QByteArray("12a") << 7 << true << 0.8;
        QTest::newRow("empty") << QByteArray("") << 7 << true << 0.8;
        QTest::newRow("too large for 32 bits") << QByteArray("4294967296") << 7 << true << 4294967296.0;
    }
    void ReadTypedValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, integer);
        QFETCH(bool, boolean);
        QFETCH(double, real);
        Fixture->WriteFile("test.ini", "[S]\r\nk=" + text + "\r\n");
        const TIniFile ini(IniPath());
        QCOMPARE(ini.ReadInteger("S", "k", 7), integer);
        QCOMPARE(ini.ReadBool("S", "k", true), boolean);
        QCOMPARE(ini.ReadFloat("S", "k", 0.8), real);
    }

    void Write_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace keeps every other byte")
            << true << QByteArray("; hand notes\r\n[General]\r\nDebug=52917\r\n  LVratio = 0.5  \r\nX=1\r\n\r\n[Other]\r\nLVRatio=9\r\n")
            << "General" << "LVRatio" << "0.800"
            << QByteArray("; hand notes\r\n[General]\r\nDebug=52917\r\n  LVratio = 0.800\r\nX=1\r\n\r\n[Other]\r\nLVRatio=9\r\n");
        QTest::newRow("replace keeps the key's spelling")
            << true << QByteArray("[general]\nwritelog=0\n") << "General" << "WriteLog" << "1"
            << QByteArray("[general]\nwritelog=1\n");
        QTest::newRow("replace an empty value")
            << true << QByteArray("[A]\r\na=\r\nb=2\r\n") << "A" << "a" << "5" << QByteArray("[A]\r\na=5\r\nb=2\r\n");
        QTest::newRow("replace the last line without line end")
            << true << QByteArray("[A]\r\na=1") << "A" << "a" << "22" << QByteArray("[A]\r\na=22");
        QTest::newRow("new key after the last filled line of its section")
            << true << QByteArray("[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=2\r\n") << "A" << "c" << "3"
            << QByteArray("[A]\r\na=1\r\nc=3\r\n\r\n\r\n[B]\r\nb=2\r\n");
        QTest::newRow("new key in an empty section")
            << true << QByteArray("[A]\r\n\r\n[B]\r\n") << "a" << "k" << "v" << QByteArray("[A]\r\nk=v\r\n\r\n[B]\r\n");
        QTest::newRow("new key after a last line without line end")
            << true << QByteArray("[A]\r\na=1") << "A" << "b" << "2" << QByteArray("[A]\r\na=1\r\nb=2\r\n");
        QTest::newRow("same name before any section is not the key")
            << true << QByteArray("a=1\r\n[A]\r\n") << "A" << "a" << "2" << QByteArray("a=1\r\n[A]\r\na=2\r\n");
        QTest::newRow("new section at the end after one blank line")
            << true << QByteArray("[A]\r\na=1\r\n") << "B" << "b" << "2" << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
        QTest::newRow("new section after a blank last line")
            << true << QByteArray("[A]\r\na=1\r\n\r\n") << "B" << "b" << "2" << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
        QTest::newRow("new section after a last line without line end")
            << true << QByteArray("[A]\r\na=1") << "B" << "b" << "2" << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
        QTest::newRow("LF file: new key stays LF")
            << true << QByteArray("[A]\na=1\n[C]\n") << "A" << "b" << "2" << QByteArray("[A]\na=1\nb=2\n[C]\n");
        QTest::newRow("LF file: new section stays LF")
            << true << QByteArray("[A]\na=1\n") << "B" << "c" << "3" << QByteArray("[A]\na=1\n\n[B]\nc=3\n");
        QTest::newRow("empty file") << true << QByteArray() << "A" << "a" << "1" << QByteArray("[A]\r\na=1\r\n");
        QTest::newRow("first write creates the file")
            << false << QByteArray() << "PSU" << "Vendor" << "ACME" << QByteArray("[PSU]\r\nVendor=ACME\r\n");
        QTest::newRow("latin-1 value") << false << QByteArray() << "S" << "k" << "M\u00fcller" << QByteArray("[S]\r\nk=M\xfcller\r\n");
        // Reading trims blanks and removes a pair of quotation marks; such values are written
        // inside quotation marks so that they read back as they were.
        QTest::newRow("blanks at the ends kept") << false << QByteArray() << "PSU" << "Vendor" << "  ACME "
                                                 << QByteArray("[PSU]\r\nVendor=\"  ACME \"\r\n");
        QTest::newRow("a value in double quotes keeps them")
            << false << QByteArray() << "PSU" << "Vendor" << "\"ACME\"" << QByteArray("[PSU]\r\nVendor=\"\"ACME\"\"\r\n");
        QTest::newRow("a value in single quotes keeps them")
            << false << QByteArray() << "S" << "k" << "'3'" << QByteArray("[S]\r\nk=\"'3'\"\r\n");
        QTest::newRow("one quotation mark alone stays as it is")
            << false << QByteArray() << "S" << "k" << "\"3" << QByteArray("[S]\r\nk=\"3\r\n");
    }
    void Write()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (exists)
            Fixture->WriteFile("test.ini", before);
        const TIniFile ini(IniPath());
        ini.WriteString(section, key, value);
        QCOMPARE(Fixture->ReadFile("test.ini"), after);
        QCOMPARE(ini.ReadString(section, key, Fallback), value);
    }

    void WrittenFormsReadBack()
    {
        const TIniFile ini(IniPath());
        ini.WriteInteger("S", "i", -2147483647 - 1);
        ini.WriteBool("S", "t", true);
        ini.WriteBool("S", "f", false);
        // A line break would end the line and turn the rest into a line of its own.
        ini.WriteString("S", "text", "a\r\nb=c");
        QCOMPARE(Fixture->ReadFile("test.ini"), QByteArray("[S]\r\ni=-2147483648\r\nt=1\r\nf=0\r\ntext=a  b=c\r\n"));
        QCOMPARE(ini.ReadString("S", "b", Fallback), Fallback);
        QCOMPARE(ini.ReadInteger("S", "i", 0), -2147483647 - 1);
        QCOMPARE(ini.ReadBool("S", "t", false), true);
        QCOMPARE(ini.ReadBool("S", "f", true), false);
    }

    void GarbageNeverBreaksReadOrWrite_data()
    {
        QTest::addColumn<QByteArray>("file");
        QByteArray random(64 * 1024, '\0');
        QRandomGenerator generator(20240607);
        for (char& c : random)
            c = static_cast<char>(generator.bounded(256));
        QTest::newRow("random bytes") << random;
        QTest::newRow("NULs only") << QByteArray(4096, '\0');
        QTest::newRow("one huge line") << QByteArray(2 * 1024 * 1024, 'x');
        QTest::newRow("huge line with =") << QByteArray(1024 * 1024, '=');
        QTest::newRow("unclosed headers") << QByteArray("[\r\n[[[\r\n[S\r\n[k=1\r\n");
        QTest::newRow("brackets the wrong way") << QByteArray("]S[\r\n]]][[[\r\n");
        QTest::newRow("= without key") << QByteArray("=\r\n=1\r\n  =  \r\n[S]\r\n=2\r\n");
        QTest::newRow("lines before any section") << QByteArray("k=1\r\nj=2\r\nnoise\r\n");
        QTest::newRow("carriage returns only") << QByteArray("\r\r\r\r");
        QTest::newRow("line feeds only") << QByteArray("\n\n\n");
        QTest::newRow("NULs in names") << QByteArrayLiteral("[S\0T]\r\nk\0=1\r\n\0[S]\0\r\n");
    }
    void GarbageNeverBreaksReadOrWrite()
    {
        QFETCH(QByteArray, file);
        Fixture->WriteFile("test.ini", file);
        const TIniFile ini(IniPath());
        // Whatever the garbage holds, reading must come back and writing must add the key.
        ini.ReadString("S", "k", Fallback);
        ini.ReadInteger("S", "k", 0);
        ini.ReadFloat("S", "k", 0);
        ini.WriteString("Tarvik test", "first", "1");
        ini.WriteString("Tarvik test", "second", "2");
        QCOMPARE(ini.ReadString("Tarvik test", "first", Fallback), QString("1"));
        QCOMPARE(ini.ReadString("Tarvik test", "second", Fallback), QString("2"));
        // The new section went to the end: the garbage itself is untouched.
        QVERIFY(Fixture->ReadFile("test.ini").startsWith(file));
    }

    void ReplacementKeepsPermissionsAndLeavesNoTemporaryFiles()
    {
        Fixture->WriteFile("test.ini", "[S]\r\nk=1\r\n");
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(IniPath(), permissions));
        const TIniFile ini(IniPath());
        for (int i = 0; i < 20; ++i)
            ini.WriteInteger("S", "k", i);
        QCOMPARE(ini.ReadInteger("S", "k", -1), 19);
        const QFile::Permissions others = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFile::permissions(IniPath()) & ~others, permissions);
        QCOMPARE(QDir(Fixture->Dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
    }

    void WriteThroughALinkKeepsTheLink()
    {
        Fixture->WriteFile("real.ini", "[S]\r\nk=1\r\n");
        QVERIFY(QFile::link(Fixture->Path("real.ini"), IniPath()));
        TIniFile(IniPath()).WriteString("S", "k", "2");
        QVERIFY(QFileInfo(IniPath()).isSymLink());
        QCOMPARE(Fixture->ReadFile("real.ini"), QByteArray("[S]\r\nk=2\r\n"));
    }

    void RefusedWrite_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("file is a directory") << "folder.ini";
        QTest::newRow("directory is a regular file") << "plain.txt/test.ini";
        QTest::newRow("directory missing") << "missing/test.ini";
        QTest::newRow("read-only system file") << "/proc/version";
        QTest::newRow("read-only file system") << "/proc/test.ini";
    }
    void RefusedWrite()
    {
        QFETCH(QString, target);
        QVERIFY(QDir(Fixture->Dir()).mkdir("folder.ini"));
        Fixture->WriteFile("plain.txt", "not a folder");
        const QString path = target.startsWith(u'/') ? target : Fixture->Path(target);
        if (target == "/proc/version" && !QFile::exists(target))
            QSKIP("no /proc on this system");
        try {
            TIniFile(path).WriteString("S", "k", "v");
            QFAIL("the write was not refused");
        } catch (const EIniWriteError& e) {
            QCOMPARE(e.Message, "Unable to write to " + path);
        }
        QCOMPARE(Fixture->ReadFile("plain.txt"), QByteArray("not a folder"));
        QVERIFY(QFileInfo(Fixture->Path("folder.ini")).isDir());
    }
};

TARVIK_TEST(IniFileTest)
#include "IniFileTest.moc"
