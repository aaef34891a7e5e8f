#include <QLocale>
#include <QTest>
#include <charconv>
#include <clocale>
#include <cstring>
#include <string>
#include <cmath>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "core/Conversions.h"

class ConversionsTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void StrToIntAccepts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "123" << 123;
        QTest::newRow("leading zeros") << "0007" << 7;
        QTest::newRow("plus") << "+5" << 5;
        QTest::newRow("minus") << "-42" << -42;
        QTest::newRow("leading blanks") << "  9" << 9;
        QTest::newRow("dollar hex") << "$1F" << 31;
        QTest::newRow("0x hex") << "0x1f" << 31;
        QTest::newRow("0X hex") << "0XFF" << 255;
        QTest::newRow("negative hex") << "-$10" << -16;
        QTest::newRow("hex wraps to 32 bits") << "$FFFFFFFF" << -1;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
    }
    void StrToIntAccepts()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(StrToInt(text), value);
    }

    void StrToIntRefuses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blank") << " ";
        QTest::newRow("sign only") << "-";
        QTest::newRow("letters") << "abc";
        QTest::newRow("trailing blank") << "12 ";
        QTest::newRow("fraction") << "1.5";
        QTest::newRow("comma") << "1,5";
        QTest::newRow("hex letters without prefix") << "1F";
        QTest::newRow("prefix only") << "$";
        QTest::newRow("0x only") << "0x";
        QTest::newRow("too large") << "2147483648";
        QTest::newRow("far too large") << "99999999999999999999";
        QTest::newRow("hex too large") << "$100000000";
        QTest::newRow("two signs") << "--1";
        QTest::newRow("exponent") << "1e3";
    }
    void StrToIntRefuses()
    {
        QFETCH(QString, text);
        try {
            StrToInt(text);
            QFAIL("no failure");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, "'" + text + "' is not a valid integer value");
        }
        QCOMPARE(StrToIntDef(text, -7), -7);
    }

    void StrToFloatAccepts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << 12.0;
        QTest::newRow("fraction") << "12.034" << 12.034;
        QTest::newRow("plus") << "+0.5" << 0.5;
        QTest::newRow("minus") << "-11.95" << -11.95;
        QTest::newRow("no integer part") << ".25" << 0.25;
        QTest::newRow("no fraction digits") << "3." << 3.0;
        QTest::newRow("exponent") << "1.5E3" << 1500.0;
        QTest::newRow("small exponent") << "25e-3" << 0.025;
        QTest::newRow("signed exponent") << "-2e+2" << -200.0;
        QTest::newRow("blanks around") << "  4.75  " << 4.75;
        QTest::newRow("underflow is zero") << "1e-400" << 0.0;
        // Too small to hold because of its digits, not its exponent.
        QTest::newRow("underflow in the fraction") << "0." + QString(400, u'0') + "1" << 0.0;
        QTest::newRow("underflow despite a positive exponent") << "0." + QString(420, u'0') + "1e+10" << 0.0;
        QTest::newRow("g15 text") << "3.13499999046326" << 3.13499999046326;
    }
    void StrToFloatAccepts()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(StrToFloat(text), value);
    }

    // Every decimal, short or long, reads as the correctly rounded double, bit for bit (signed
    // zeros too): the same value std::from_chars gives for its digits. Pseudo-random texts of 1
    // to 18 digits with the point anywhere (or nowhere), leading zeros and signs.
    void StrToFloatIsCorrectlyRounded()
    {
        uint64_t state = 0x2545F4914F6CDD1DULL;
        const auto next = [&state] {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            return state;
        };
        for (int n = 0; n < 200000; ++n) {
            const int digits = 1 + int(next() % 18);
            std::string ascii;
            for (int d = 0; d < digits; ++d)
                ascii += char('0' + next() % (next() % 4 == 0 ? 1 : 10));
            const int point = int(next() % (digits + 2));
            if (point <= digits)
                ascii.insert(size_t(point), 1, '.');
            const int sign = int(next() % 3);
            double expected = 0;
            const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), expected);
            QVERIFY2(r.ec == std::errc() && r.ptr == ascii.data() + ascii.size(), ascii.c_str());
            if (sign == 1)
                expected = -expected;
            const QString text = QString::fromLatin1(sign == 0 ? "" : sign == 1 ? "-" : "+") + QString::fromLatin1(ascii);
            double value = 0;
            QVERIFY2(TryStrToFloat(text, value), qPrintable(text));
            QVERIFY2(std::memcmp(&value, &expected, sizeof value) == 0,
                     qPrintable(text + " read as " + QString::number(value, 'g', 17)));
        }
    }

    void StrToFloatRefuses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("comma") << "0,5";
        QTest::newRow("letters") << "abc";
        QTest::newRow("point only") << ".";
        QTest::newRow("two points") << "1.2.3";
        QTest::newRow("exponent without digits") << "1e";
        QTest::newRow("exponent sign only") << "1e+";
        QTest::newRow("trailing text") << "12V";
        QTest::newRow("hex") << "$10";
        QTest::newRow("overflow") << "1e400";
        // Too large to hold because of its digits, although the exponent is negative.
        QTest::newRow("overflow despite a negative exponent") << "1" + QString(400, u'0') + "e-1";
        QTest::newRow("overflow in the digits") << "1" + QString(400, u'0');
        QTest::newRow("nan") << "nan";
        QTest::newRow("inner blank") << "1 2";
    }
    void StrToFloatRefuses()
    {
        QFETCH(QString, text);
        try {
            StrToFloat(text);
            QFAIL("no failure");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, "'" + text + "' is not a valid floating point value");
        }
        QCOMPARE(StrToFloatDef(text, 0.8), 0.8);
    }

    void ConversionsIgnoreTheDesktopLocale()
    {
        // A desktop with a comma as decimal separator must not change the wire or the screen.
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        const double parsed = StrToFloat("12.5");
        const QString shown = FormatFixed(12.5, 7, 3);
        double ignored = 0;
        const bool comma = TryStrToFloat("12,5", ignored);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(saved);
        QCOMPARE(parsed, 12.5);
        QCOMPARE(shown, QString("12.500"));
        QVERIFY(!comma);
    }

    void FixedFormat_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("precision");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("precision limits") << 41.26 << 3 << 1 << "41.3";
        QTest::newRow("precision pads") << 123.4 << 3 << 1 << "123.0";
        QTest::newRow("decimals limit") << 12.0345 << 7 << 3 << "12.035";
        QTest::newRow("half away from zero") << 0.125 << 7 << 2 << "0.13";
        QTest::newRow("negative half away") << -0.125 << 7 << 2 << "-0.13";
        QTest::newRow("negative") << -1.5 << 7 << 1 << "-1.5";
        QTest::newRow("negative rounds to zero") << -0.004 << 7 << 2 << "0.00";
        QTest::newRow("zero") << 0.0 << 7 << 2 << "0.00";
        QTest::newRow("no decimals") << 2.5 << 7 << 0 << "3";
        QTest::newRow("carry into new digit") << 9.9996 << 7 << 3 << "10.000";
        QTest::newRow("small value") << 0.0456 << 7 << 3 << "0.046";
        QTest::newRow("below the last decimal") << 0.0004 << 7 << 3 << "0.000";
        QTest::newRow("pads decimals") << 12.0 << 7 << 3 << "12.000";
        QTest::newRow("seven digits") << 1234567.0 << 7 << 2 << "1234567.00";
        QTest::newRow("scientific") << 12345678.0 << 7 << 2 << "1.234568E7";
        QTest::newRow("scientific after rounding") << 9999999.6 << 7 << 2 << "1E7";
        QTest::newRow("negative scientific") << -123456789.0 << 3 << 1 << "-1.23E8";
        QTest::newRow("single reading 4 decimals") << double(12.0345f) << 7 << 4 << "12.0345";
        QTest::newRow("single reading 3 decimals") << double(12.0345f) << 7 << 3 << "12.035";
        QTest::newRow("F3 of single 0.8") << double(0.8f) << 7 << 3 << "0.800";
        QTest::newRow("F3 of single 15.916") << double(15.916f) << 7 << 3 << "15.916";
        QTest::newRow("deviation -1.5") << double((3.25f - 3.3f) / 3.3f * 100.0f) << 7 << 1 << "-1.5";
    }
    void FixedFormat()
    {
        QFETCH(double, x);
        QFETCH(int, precision);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(::FormatFixed(x, precision, decimals), text);
    }

    void GeneralFormat_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("text");
        QTest::newRow("single 3.135") << double(3.135f) << "3.13499999046326";
        QTest::newRow("single 4.75") << double(4.75f) << "4.75";
        QTest::newRow("whole") << 30.0 << "30";
        QTest::newRow("single 11.4") << double(11.4f) << "11.3999996185303";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("small fixed") << 0.0001 << "0.0001";
        QTest::newRow("tiny scientific") << 0.000001 << "1E-6";
        QTest::newRow("huge scientific") << 1e20 << "1E20";
    }
    void GeneralFormat()
    {
        QFETCH(double, x);
        QFETCH(QString, text);
        QCOMPARE(::FormatGeneral(x, 15), text);
    }

    void GeneralFormReadsBackAsTheSameSingle()
    {
        for (float value : {3.135f, 3.465f, 4.75f, 5.25f, 11.4f, 12.6f, 0.1f, 123.456f, 1e-7f}) {
            const QString text = ::FormatGeneral(value, 15);
            QCOMPARE(static_cast<float>(StrToFloat(text)), value);
        }
    }

    void VoltsAndAmps()
    {
        AppSettings.ExtendedAdc24 = false;
        QCOMPARE(FormatVolts(12.0345f), QString("12.035 V"));
        QCOMPARE(FormatAmps(4.5f), QString("4.50 A"));
        AppSettings.ExtendedAdc24 = true;
        QCOMPARE(FormatVolts(12.0345f), QString("12.0345 V"));
        QCOMPARE(FormatAmps(4.5f), QString("4.5000 A"));
    }

    void Rounding_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("even");
        QTest::addColumn<int>("up");
        QTest::newRow("2.5") << 2.5 << 2 << 3;
        QTest::newRow("3.5") << 3.5 << 4 << 4;
        QTest::newRow("-2.5") << -2.5 << -2 << -2;
        QTest::newRow("2.4") << 2.4 << 2 << 3;
        QTest::newRow("2.6") << 2.6 << 3 << 3;
        QTest::newRow("12.01") << 12.01 << 12 << 13;
        QTest::newRow("-0.4") << -0.4 << 0 << 0;
        QTest::newRow("0.2") << 0.2 << 0 << 1;
        QTest::newRow("whole") << 7.0 << 7 << 7;
    }
    void ExactRatios_data()
    {
        QTest::addColumn<qint64>("numerator");
        QTest::addColumn<qint64>("denominator");
        QTest::addColumn<int>("rounded");
        QTest::newRow("49.5 to even 50") << qint64(99 * 3 * 10) << qint64(60) << 50;
        QTest::newRow("2.5 to even 2") << qint64(5) << qint64(2) << 2;
        QTest::newRow("13.5 to even 14") << qint64(15 * 9 * 20) << qint64(200) << 14;
        QTest::newRow("38.5 to even 38") << qint64(55 * 7 * 20) << qint64(200) << 38;
        QTest::newRow("below half") << qint64(149) << qint64(100) << 1;
        QTest::newRow("above half") << qint64(151) << qint64(100) << 2;
        QTest::newRow("negative half") << qint64(-5) << qint64(2) << -2;
        QTest::newRow("negative") << qint64(-7) << qint64(2) << -4;
        QTest::newRow("whole") << qint64(1200) << qint64(200) << 6;
    }
    void ExactRatios()
    {
        QFETCH(qint64, numerator);
        QFETCH(qint64, denominator);
        QFETCH(int, rounded);
        QCOMPARE(RoundRatioHalfEven(numerator, denominator), rounded);
    }

    void Rounding()
    {
        QFETCH(double, x);
        QFETCH(int, even);
        QFETCH(int, up);
        QCOMPARE(RoundHalfEven(x), even);
        QCOMPARE(RoundUp(x), up);
    }
};

TARVIK_TEST(ConversionsTest)
#include "ConversionsTest.moc"
