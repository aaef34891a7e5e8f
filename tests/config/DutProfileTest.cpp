// DUT profiles from the PSU Info page: "Save" writes the page's fields to a profile file,
// "Load" fills the page from one; the description in use changes only at OK.

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "SettingsDialogSupport.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "config/DutProfile.h"

namespace {

const QString Filter = "Config files (*.ini)|*.ini";

QByteArray Profile(const QByteArray& vendor, const QByteArray& power, const QList<int>& currents)
{
    QByteArray bytes = "[PSU]\r\nVendor=" + vendor + "\r\nModel=M1\r\nCode=C1\r\nSN=S1\r\nPower=" + power + "\r\n";
    for (int n = 1; n <= 11; ++n)
        bytes += "MaxCurrent" + QByteArray::number(n) + "=" + QByteArray::number(currents[n - 1]) + "\r\n";
    return bytes;
}

const QList<int> DefaultCurrents = {20, 25, 10, 25, 25, 25, 30, 30, 30, 30, 30};
const QList<int> OtherCurrents = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

} // namespace

class DutProfileTest : public QObject {
    Q_OBJECT
    std::optional<TSettingsDialogFixture> Fixture;

    QStringList PageFields() const
    {
        QStringList shown;
        for (const char* name : {"PSUVendorEdit", "PSUModelEdit", "PSUCodeEdit", "PSUSerialEdit", "PSUPowerEdit"})
            shown << Fixture->Shown(name);
        for (int n = 1; n <= 11; ++n)
            shown << Fixture->Shown(QString("PSUC%1Edit").arg(n));
        return shown;
    }

    void FillPage(const QString& vendor, const QString& power, const QList<int>& currents) const
    {
        Fixture->Paste("PSUVendorEdit", vendor);
        Fixture->Paste("PSUModelEdit", "M1");
        Fixture->Paste("PSUCodeEdit", "C1");
        Fixture->Paste("PSUSerialEdit", "S1");
        Fixture->Paste("PSUPowerEdit", power);
        for (int n = 1; n <= 11; ++n)
            Fixture->Paste(QString("PSUC%1Edit").arg(n), QString::number(currents[n - 1]));
    }

    void Save(const QString& chosen)
    {
        Fixture->Dialogs.AnswerFile(chosen);
        Fixture->Dialog->bSavePSU->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("SaveFile"));
    }

    void Load(const QString& chosen)
    {
        Fixture->Dialogs.AnswerFile(chosen);
        Fixture->Dialog->bLoadPSU->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("OpenFile"));
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_DIALOG(Fixture); }

    void SavedNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "psu1" << "psu1.ini";
        QTest::newRow(".ini") << "psu1.ini" << "psu1.ini";
        QTest::newRow(".INI is another text") << "PSU1.INI" << "PSU1.INI.ini";
        QTest::newRow(".ini inside the name") << "a.ini.bak" << "a.ini.bak";
    }
    void SavedNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        TSettingsForm& dialog = Fixture->OpenDialog();
        FillPage("Acme", "650", OtherCurrents);
        Save(Fixture->Path(chosen));
        QCOMPARE(Fixture->Dialogs.FileDialogs.last().Filter, Filter);
        QCOMPARE(Fixture->Dialogs.FileDialogs.last().OverwritePrompt, false);
        QCOMPARE(Fixture->Dialogs.FileDialogs.last().DefaultExt, QString());
        QCOMPARE(dialog.SD.FileName, Fixture->Path(saved));
        QStringList files = QDir(Fixture->Dir()).entryList(QDir::Files);
        files.removeAll("settings.ini");
        QCOMPARE(files, QStringList{saved});
        QCOMPARE(Fixture->ReadFile(saved), Profile("Acme", "650", OtherCurrents));
        QCOMPARE(ProfileFileName(chosen), saved);
    }

    void ASavedProfileLoadsBackIntoThePage()
    {
        TSettingsForm& dialog = Fixture->OpenDialog();
        FillPage("Acme", "650", OtherCurrents);
        Save(Fixture->Path("acme"));
        const QStringList saved = PageFields();
        FillPage("Other", "1", DefaultCurrents);
        Load(Fixture->Path("acme.ini"));
        QCOMPARE(PageFields(), saved);
        QCOMPARE(dialog.OD.FileName, Fixture->Path("acme.ini"));
        QCOMPARE(Fixture->Dialogs.FileDialogs.last().Filter, Filter);
        // A saved profile does not depend on OK, and changes nothing in use.
        dialog.bCancel->click();
        QVERIFY(QFile::exists(Fixture->Path("acme.ini")));
        QCOMPARE(AppSettings.DutDescription.Vendor, QString());
    }

    void AVendorOf40CharactersKeepsItsFirst30()
    {
        Fixture->OpenDialog();
        const QString vendor = "0123456789abcdefghijABCDEFGHIJ0123456789";
        FillPage(vendor, "1", OtherCurrents);
        Save(Fixture->Path("long.ini"));
        QVERIFY(Fixture->ReadFile("long.ini").contains("Vendor=0123456789abcdefghijABCDEFGHIJ\r\n"));
        Load(Fixture->Path("long.ini"));
        QCOMPARE(Fixture->Shown("PSUVendorEdit"), vendor.left(30));
        // OK cuts the same way.
        FillPage(vendor, "1", OtherCurrents);
        Fixture->Dialog->bOk->click();
        QCOMPARE(AppSettings.DutDescription.Vendor, vendor.left(30));
        QCOMPARE(Fixture->Key("PSU", "Vendor"), vendor.left(30));
    }

    void LoadThenCancelLeavesTheDescriptionInUse()
    {
        Fixture->WriteFile("settings.ini", Profile("InUse", "400", DefaultCurrents));
        Fixture->WriteFile("other.ini", Profile("Other", "900", OtherCurrents));
        TSettingsForm& dialog = Fixture->OpenDialog();
        Load(Fixture->Path("other.ini"));
        QCOMPARE(Fixture->Shown("PSUVendorEdit"), QString("Other"));
        QCOMPARE(Fixture->Shown("PSUC11Edit"), QString("11"));
        dialog.bCancel->click();
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("InUse"));
        QCOMPARE(AppSettings.DutDescription.MaxCurrent[11], uint16_t(30));
        QCOMPARE(Fixture->ReadFile("settings.ini"), Profile("InUse", "400", DefaultCurrents));
        // The next opening shows the description in use again.
        Fixture->OpenDialog();
        QCOMPARE(Fixture->Shown("PSUVendorEdit"), QString("InUse"));
    }

    void LoadThenOkPutsTheProfileInUse()
    {
        Fixture->WriteFile("other.ini", Profile("Other", "900", OtherCurrents));
        TSettingsForm& dialog = Fixture->OpenDialog();
        Load(Fixture->Path("other.ini"));
        dialog.bOk->click();
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("Other"));
        QCOMPARE(AppSettings.DutDescription.Power, uint16_t(900));
        QCOMPARE(AppSettings.DutDescription.MaxCurrent[5], uint16_t(5));
        QCOMPARE(Fixture->Key("PSU", "MaxCurrent5"), QString("5"));
    }

    void LoadingWithoutValuesGivesTheDefaults_data()
    {
        QTest::addColumn<QByteArray>("file");  // empty: no file at all
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("no [PSU] section") << QByteArray("[General]\r\nVendor=Nope\r\n");
        QTest::newRow("empty section") << QByteArray("[PSU]\r\n");
    }
    void LoadingWithoutValuesGivesTheDefaults()
    {
        QFETCH(QByteArray, file);
        if (!file.isEmpty())
            Fixture->WriteFile("p.ini", file);
        Fixture->OpenDialog();
        FillPage("Acme", "650", OtherCurrents);
        Load(Fixture->Path("p.ini"));
        QStringList defaults{"", "", "", "", "0"};
        for (int current : DefaultCurrents)
            defaults << QString::number(current);
        QCOMPARE(PageFields(), defaults);
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList());
    }

    void AFieldThatIsNoWholeNumberStopsTheSaveBeforeTheFile_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty power") << "PSUPowerEdit" << "" << "'' is not a valid integer value.";
        QTest::newRow("pasted letter in a current") << "PSUC5Edit" << "5A" << "'5A' is not a valid integer value.";
        QTest::newRow("last current") << "PSUC11Edit" << "1.5" << "'1.' is not a valid integer value.";  // two characters at most
        QTest::newRow("text outside Latin-1")
            << "PSUCodeEdit" << QString::fromUtf8("Ω-1")
            << QString::fromUtf8("The field \"Model code\" holds the character \"Ω\" (U+03A9), which settings and "
                                 "profile files cannot store.");
    }
    void AFieldThatIsNoWholeNumberStopsTheSaveBeforeTheFile()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QByteArray before = "[Other]\r\nKeep=1\r\n";
        Fixture->WriteFile("old.ini", before);
        Fixture->OpenDialog();
        FillPage("Acme", "650", OtherCurrents);
        Fixture->Paste(field, text);
        for (const QString& name : {QString("old.ini"), QString("new")}) {
            Save(Fixture->Path(name));
            QCOMPARE(Fixture->Dialogs.TakeAll(),
                     QStringList{DescribeDialog("Error", ApplicationTitle(), message, TDialogIcon::Error)});
        }
        QCOMPARE(Fixture->ReadFile("old.ini"), before);
        QVERIFY(!QFile::exists(Fixture->Path("new")) && !QFile::exists(Fixture->Path("new.ini")));
    }

    void SavingOntoSettingsIniReplacesOnlyItsPsuSection()
    {
        const QByteArray head = "[General]\r\nDebug=52917\r\nLVRatio=0.500\r\n\r\n";
        const QByteArray tail = "\r\n[Tresholds]\r\nVmin1=3\r\n";
        Fixture->WriteFile("settings.ini", head + Profile("Old", "100", DefaultCurrents) + tail);
        TSettingsForm& dialog = Fixture->OpenDialog();
        FillPage("New", "750", OtherCurrents);
        Save(Fixture->Path("settings.ini"));
        QCOMPARE(Fixture->ReadFile("settings.ini"), head + Profile("New", "750", OtherCurrents) + tail);
        // In use only after OK.
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("Old"));
        dialog.bCancel->click();
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("Old"));
    }

    void CancelledFileDialogsDoNothing()
    {
        Fixture->OpenDialog();
        FillPage("Acme", "650", OtherCurrents);
        const QStringList shown = PageFields();
        Save(QString());
        Load(QString());
        QCOMPARE(PageFields(), shown);
        QCOMPARE(QDir(Fixture->Dir()).entryList(QDir::Files), QStringList());
    }

    void ARefusedWriteIsReported()
    {
        QVERIFY(QDir(Fixture->Dir()).mkdir("folder.ini"));
        Fixture->OpenDialog();
        Save(Fixture->Path("folder.ini"));
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(),
                                            "Unable to write to " + Fixture->Path("folder.ini") + ".", TDialogIcon::Error)});
        QVERIFY(QFileInfo(Fixture->Path("folder.ini")).isDir());
    }
};

TARVIK_TEST(DutProfileTest)
#include "DutProfileTest.moc"
