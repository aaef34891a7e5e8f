#include "link/CommandSet.h"

#include <cmath>

#include "core/Conversions.h"

namespace {
// Writes `part` over `field` in place: a command parsed frame after frame keeps its strings'
// memory, so cutting a frame allocates nothing once its fields have been seen. (A string a
// handler kept a copy of is shared and gets memory of its own here; the copy stays as it was.)
void Overwrite(QString& field, QStringView part)
{
    field.resize(0);
    field.append(part);
}

// Empties a field for the next frame; an unusually long one (garbage) gives its memory back.
void Empty(QString& field)
{
    if (field.capacity() > 1024)
        field.clear();
    else if (!field.isEmpty())
        field.resize(0);
}
} // namespace

void ParseFrame(const QString& text, TParsedCommand& parsed)
{
    Empty(parsed.Command);
    for (QString& param : parsed.Params)
        Empty(param);

    if (!text.startsWith(u'!'))
        return;
    qsizetype p = text.indexOf(u';');
    if (p < 0)
        return;
    const QStringView all(text);
    Overwrite(parsed.Command, all.sliced(1, p - 1).left(ParsedCommandMaxName));

    size_t k = 0;
    while (k < parsed.Params.size()) {
        const qsizetype q = text.indexOf(u';', p + 1);
        if (q < 0)
            break;
        Overwrite(parsed.Params[k++], all.sliced(p + 1, q - p - 1));
        p = q;
    }
}

QString Pad2(int value)
{
    const QString digits = QString::number(value);
    return value >= 0 && value < 10 ? u'0' + digits : digits;
}

QString Pad3(int value)
{
    const QString digits = QString::number(value);
    if (digits.size() == 1)
        return QStringLiteral("00") + digits;
    if (digits.size() == 2)
        return u'0' + digits;
    return digits;
}

QString Pad4(const QString& text)
{
    switch (text.size()) {
    case 1: return QStringLiteral("000") + text;
    case 2: return QStringLiteral("00") + text;
    case 3: return u'0' + text;
    default: return text;
    }
}

TCalibrationNumber CalibrationNumber(float value)
{
    // The settings never hold an infinite or undefined constant; should one get here, send 0.
    const double x = std::isfinite(value) ? value : 0.0;
    const double whole = std::trunc(x);
    TCalibrationNumber number;
    // Written from the floating-point value so that no magnitude can overflow an integer.
    number.IntegerPart = Pad4(QString::number(whole == 0 ? 0.0 : whole, 'f', 0));
    // "0.916" -> "916"; a fraction that rounds up gives "1.000" -> "000".
    const QString fraction = FormatFixed(x - whole, 15, 3);
    number.Fraction = Pad4(fraction.mid(2));
    return number;
}

QString BuildFrame(const QString& name, std::initializer_list<QString> fields)
{
    QString frame = u'!' + name + u';';
    for (const QString& field : fields)
        frame += field + u';';
    return frame + u'#';
}

QString GreetingFrame() { return BuildFrame(QStringLiteral("!!")); }
QString PollFrame() { return BuildFrame(QStringLiteral("GV")); }
QString PowerOnFrame() { return BuildFrame(QStringLiteral("PN")); }
QString PowerOffFrame() { return BuildFrame(QStringLiteral("PF")); }

QString SetCurrentFrame(int loadChannel, int amps)
{
    return BuildFrame(QStringLiteral("SC"), {QString::number(loadChannel - 1), Pad2(amps)});
}

QString LoadRatioFrame(float ratio)
{
    return BuildFrame(QStringLiteral("SLC"), {Pad3(RoundHalfEven(static_cast<double>(ratio) * 100.0))});
}

QString CalibrationRegisterFrame(int reg, float value)
{
    const TCalibrationNumber number = CalibrationNumber(value);
    const QString fraction = reg == 25 ? QStringLiteral("0000") : number.Fraction;
    return BuildFrame(QStringLiteral("STR"), {Pad2(reg), number.IntegerPart, fraction});
}

namespace {
QString FirstCharacter(const QString& text) { return text.left(1); }

QString TestStartFrame(const QString& name, const TAutoTestTexts& t)
{
    return BuildFrame(name, {Pad4(t[0]), Pad4(t[1]), Pad4(t[2]), FirstCharacter(t[3]), FirstCharacter(t[4])});
}
} // namespace

QString CrossLoadStartFrame(const TAutoTestTexts& texts) { return TestStartFrame(QStringLiteral("ATS"), texts); }

QString NoiseStartFrame(const TAutoTestTexts& texts) { return TestStartFrame(QStringLiteral("NTS"), texts); }

QString EfficiencyStartFrame(const TAutoTestTexts& t)
{
    return BuildFrame(QStringLiteral("FAMC"), {Pad4(t[5]), Pad4(t[2]), Pad4(t[1]), Pad4(t[0]), FirstCharacter(t[4])});
}

QString StandbyStartFrame(const TAutoTestTexts& t)
{
    return BuildFrame(QStringLiteral("STS"), {Pad4(t[6]), Pad4(t[5])});
}
