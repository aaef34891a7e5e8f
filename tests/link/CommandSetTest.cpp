#include <QRandomGenerator>
#include <QTest>

#include "TestRegistry.h"
#include "link/CommandSet.h"

Q_DECLARE_METATYPE(TAutoTestTexts)

class CommandSetTest : public QObject {
    Q_OBJECT

private slots:
    void ParseFrameSplits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("no fields") << "!GV;#" << "GV" << QStringList{};
        QTest::newRow("two fields") << "!FAN;1200;1350;#" << "FAN" << QStringList{"1200", "1350"};
        QTest::newRow("field without ;") << "!ERR;5#" << "ERR" << QStringList{};
        QTest::newRow("greeting") << "!!!;#" << "!!" << QStringList{};
        QTest::newRow("empty field") << "!X;;a;#" << "X" << QStringList{"", "a"};
        QTest::newRow("no leading !") << "GV;#" << "" << QStringList{};
        QTest::newRow("no ;") << "!GV#" << "" << QStringList{};
        QTest::newRow("empty text") << "" << "" << QStringList{};
        QTest::newRow("only !") << "!" << "" << QStringList{};
        QTest::newRow("empty name") << "!;1;#" << "" << QStringList{"1"};
        QTest::newRow("line break head") << "\r\n!B;#" << "" << QStringList{};
        QTest::newRow("text after last ; ignored") << "!VC;3;12.1;junk" << "VC" << QStringList{"3", "12.1"};
        QTest::newRow("reading frame") << "!VC;3;12.1;4.5;35;110;#" << "VC"
                                       << QStringList{"3", "12.1", "4.5", "35", "110"};
        QTest::newRow("31-character name cut")
            << "!ABCDEFGHIJKLMNOPQRSTUVWXYZ01234;7;#" << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123" << QStringList{"7"};
    }
    void ParseFrameSplits()
    {
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(QStringList, fields);
        TParsedCommand parsed;
        parsed.Params[5] = "stale";  // a reused record must come back clean
        ParseFrame(text, parsed);
        QCOMPARE(parsed.Command, command);
        for (int i = 0; i < ParsedCommandMaxParams; ++i)
            QCOMPARE(parsed.Params[i], i < fields.size() ? fields[i] : QString());
    }

    void AReusedRecordKeepsNoGarbageMemory()
    {
        // Fields are written over in place from frame to frame, but a huge one is not kept.
        TParsedCommand parsed;
        ParseFrame("!G;" + QString(100000, u'7') + ";1;#", parsed);
        QCOMPARE(parsed.Params[0].size(), 100000);
        const QString kept = parsed.Params[1];  // a handler's copy
        ParseFrame("!VC;3;12.1;#", parsed);
        QCOMPARE(parsed.Params[0], QString("3"));
        QCOMPARE(parsed.Params[1], QString("12.1"));
        QVERIFY(parsed.Params[0].capacity() <= 1024);
        QCOMPARE(kept, QString("1"));
    }

    void ParseFrameKeepsTheFirstHundredFields()
    {
        QString text = "!G;";
        for (int i = 0; i < 150; ++i)
            text += QString::number(i) + ';';
        TParsedCommand parsed;
        ParseFrame(text + '#', parsed);
        QCOMPARE(parsed.Command, QString("G"));
        QCOMPARE(parsed.Params[0], QString("0"));
        QCOMPARE(parsed.Params[99], QString("99"));
    }

    void ParseFrameSurvivesAnyText()
    {
        // Random bytes, heavy on the characters the grammar cares about.
        QRandomGenerator random(4711);
        const QString alphabet = QStringLiteral("!;#A0.\r\n\xff");
        TParsedCommand parsed;
        for (int round = 0; round < 2000; ++round) {
            QString text;
            const int length = int(random.bounded(400));
            for (int i = 0; i < length; ++i)
                text += random.bounded(4) == 0 ? QChar(char16_t(random.bounded(256)))
                                               : alphabet[int(random.bounded(alphabet.size()))];
            ParseFrame(text, parsed);
            QVERIFY(parsed.Command.size() <= ParsedCommandMaxName);
            if (!text.startsWith('!'))
                QVERIFY(parsed.Command.isEmpty());
        }
    }

    void Padding_data()
    {
        QTest::addColumn<QString>("padded");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Pad2 0") << Pad2(0) << "00";
        QTest::newRow("Pad2 9") << Pad2(9) << "09";
        QTest::newRow("Pad2 10") << Pad2(10) << "10";
        QTest::newRow("Pad2 255") << Pad2(255) << "255";
        QTest::newRow("Pad3 5") << Pad3(5) << "005";
        QTest::newRow("Pad3 80") << Pad3(80) << "080";
        QTest::newRow("Pad3 125") << Pad3(125) << "125";
        QTest::newRow("Pad3 1000") << Pad3(1000) << "1000";
        QTest::newRow("Pad4 empty") << Pad4("") << "";
        QTest::newRow("Pad4 7") << Pad4("7") << "0007";
        QTest::newRow("Pad4 42") << Pad4("42") << "0042";
        QTest::newRow("Pad4 abc") << Pad4("abc") << "0abc";
        QTest::newRow("Pad4 1200") << Pad4("1200") << "1200";
        QTest::newRow("Pad4 12345") << Pad4("12345") << "12345";
        QTest::newRow("Pad4 keeps blanks") << Pad4(" 5") << "00 5";
    }
    void Padding()
    {
        QFETCH(QString, padded);
        QFETCH(QString, expected);
        QCOMPARE(padded, expected);
    }

    void CalibrationNumbers_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("integerPart");
        QTest::addColumn<QString>("fraction");
        QTest::newRow("15.916") << 15.916f << "0015" << "0916";
        QTest::newRow("5.7") << 5.7f << "0005" << "0700";
        QTest::newRow("3.3") << 3.3f << "0003" << "0300";
        QTest::newRow("0") << 0.0f << "0000" << "0000";
        QTest::newRow("carry dropped") << 15.9996f << "0015" << "0000";
        QTest::newRow("rounds half up") << 2.0625f << "0002" << "0063";
        QTest::newRow("long integer part") << 123456.5f << "123456" << "0500";
        QTest::newRow("huge value") << 1e20f << "100000002004087734272" << "0000";
    }
    void CalibrationNumbers()
    {
        QFETCH(float, value);
        QFETCH(QString, integerPart);
        QFETCH(QString, fraction);
        const TCalibrationNumber number = CalibrationNumber(value);
        QCOMPARE(number.IntegerPart, integerPart);
        QCOMPARE(number.Fraction, fraction);
    }

    void Requests_data()
    {
        const TAutoTestTexts example{"0", "0", "0", "2", "0", "200", "0"};
        const TAutoTestTexts typical{"200", "1200", "1400", "12", "1", "50", "25"};
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("expected");
        QTest::newRow("greeting") << GreetingFrame() << "!!!;#";
        QTest::newRow("poll") << PollFrame() << "!GV;#";
        QTest::newRow("power on") << PowerOnFrame() << "!PN;#";
        QTest::newRow("power off") << PowerOffFrame() << "!PF;#";
        QTest::newRow("SC channel 11, 9 A") << SetCurrentFrame(11, 9) << "!SC;10;09;#";
        QTest::newRow("SC channel 1, 12 A") << SetCurrentFrame(1, 12) << "!SC;0;12;#";
        QTest::newRow("SLC 0.8") << LoadRatioFrame(0.8f) << "!SLC;080;#";
        QTest::newRow("SLC 1.25") << LoadRatioFrame(1.25f) << "!SLC;125;#";
        QTest::newRow("SLC 0.05") << LoadRatioFrame(0.05f) << "!SLC;005;#";
        QTest::newRow("STR register 0") << CalibrationRegisterFrame(0, 15.916f) << "!STR;00;0015;0916;#";
        QTest::newRow("STR register 11") << CalibrationRegisterFrame(11, 5.7f) << "!STR;11;0005;0700;#";
        QTest::newRow("STR register 25") << CalibrationRegisterFrame(25, 1.0f) << "!STR;25;0001;0000;#";
        QTest::newRow("STR register 26") << CalibrationRegisterFrame(26, 3.3f) << "!STR;26;0003;0300;#";
        QTest::newRow("ATS example") << CrossLoadStartFrame(example) << "!ATS;0000;0000;0000;2;0;#";
        QTest::newRow("FAMC example") << EfficiencyStartFrame(example) << "!FAMC;0200;0000;0000;0000;0;#";
        QTest::newRow("STS example") << StandbyStartFrame(example) << "!STS;0000;0200;#";
        QTest::newRow("ATS first characters") << CrossLoadStartFrame(typical) << "!ATS;0200;1200;1400;1;1;#";
        QTest::newRow("NTS") << NoiseStartFrame(typical) << "!NTS;0200;1200;1400;1;1;#";
        QTest::newRow("FAMC order") << EfficiencyStartFrame(typical) << "!FAMC;0050;1400;1200;0200;1;#";
        QTest::newRow("STS order") << StandbyStartFrame(typical) << "!STS;0025;0050;#";
        QTest::newRow("FAMC with empty type")
            << EfficiencyStartFrame({"1", "2", "3", "4", "", "5", "6"}) << "!FAMC;0005;0003;0002;0001;;#";
    }
    void Requests()
    {
        QFETCH(QString, frame);
        QFETCH(QString, expected);
        QCOMPARE(frame, expected);
    }
};

TARVIK_TEST(CommandSetTest)
#include "CommandSetTest.moc"
