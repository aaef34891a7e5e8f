// Any bytes as one received frame: the split into name and fields, and every conversion the
// dispatcher and the displays apply to a field, checked against what each promises.

#include <cmath>

#include "FuzzTarget.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "link/CommandSet.h"

namespace {

void CheckSplit(const QString& text, const TParsedCommand& p)
{
    FuzzCheck(p.Command.size() <= ParsedCommandMaxName, "name longer than 30 characters");
    const qsizetype firstSemicolon = text.indexOf(u';');
    if (!text.startsWith(u'!') || firstSemicolon < 0) {
        FuzzCheck(p.Command.isEmpty(), "a text that is no frame gave a name");
        for (const QString& param : p.Params)
            FuzzCheck(param.isEmpty(), "a text that is no frame gave a field");
        return;
    }
    // Each ";" after the name's closes one field; what follows the last one is ignored.
    const qsizetype fields = text.count(u';') - 1;
    const bool nameCut = firstSemicolon - 1 > ParsedCommandMaxName;
    FuzzCheck(p.Command == text.mid(1, firstSemicolon - 1).left(ParsedCommandMaxName), "name is not the text before the first ;");
    for (qsizetype k = fields; k < ParsedCommandMaxParams; ++k)
        FuzzCheck(p.Params[static_cast<size_t>(k)].isEmpty(), "a field beyond the last ;");
    if (nameCut || fields > ParsedCommandMaxParams)
        return;
    QString rebuilt = u'!' + p.Command + u';';
    for (qsizetype k = 0; k < fields; ++k) {
        FuzzCheck(!p.Params[static_cast<size_t>(k)].contains(u';'), "a field holds a ;");
        rebuilt += p.Params[static_cast<size_t>(k)] + u';';
    }
    FuzzCheck(rebuilt == text.left(text.lastIndexOf(u';') + 1), "name and fields do not give back the frame: " + rebuilt);
}

void CheckInteger(const QString& field)
{
    int32_t value = 0;
    const bool ok = TryStrToInt(field, value);
    try {
        const int32_t thrown = StrToInt(field);
        FuzzCheck(ok && thrown == value, "StrToInt accepted what TryStrToInt refused, or differs");
    } catch (const EConvertError& e) {
        FuzzCheck(!ok, "StrToInt refused what TryStrToInt accepted");
        FuzzCheck(e.Message == QStringLiteral("'%1' is not a valid integer value").arg(field), "integer error text: " + e.Message);
    }
    FuzzCheck(StrToIntDef(field, 12345) == (ok ? value : 12345), "StrToIntDef");
    if (!ok)
        return;
    int32_t again = 0;
    FuzzCheck(TryStrToInt(QString::number(value), again) && again == value, "integer does not read back");
    // What the dispatcher stores from it.
    (void)static_cast<uint16_t>(value);
    (void)static_cast<uint8_t>(value);
}

void CheckReal(const QString& field)
{
    double value = 0;
    const bool ok = TryStrToFloat(field, value);
    try {
        const double thrown = StrToFloat(field);
        FuzzCheck(ok && (thrown == value || (std::isnan(thrown) && std::isnan(value))), "StrToFloat differs from TryStrToFloat");
    } catch (const EConvertError& e) {
        FuzzCheck(!ok, "StrToFloat refused what TryStrToFloat accepted");
        FuzzCheck(e.Message == QStringLiteral("'%1' is not a valid floating point value").arg(field), "real error text: " + e.Message);
    }
    if (!ok)
        return;
    FuzzCheck(std::isfinite(value), "a real that reads as infinite or undefined: " + field);

    // The written forms read back: 17 digits exactly, 15 digits to within their rounding.
    double back = 0;
    const QString exact = FormatGeneral(value, 17);
    FuzzCheck(TryStrToFloat(exact, back) && back == value, "17 digits do not read back: " + field + " -> " + exact);
    const QString general = FormatGeneral(value, 15);
    FuzzCheck(TryStrToFloat(general, back) && std::fabs(back - value) <= std::fabs(value) * 1e-14,
              "15 digits do not read back: " + field + " -> " + general);
    // Single precision as the readings and settings hold it.
    const float single = static_cast<float>(value);
    if (std::isfinite(single)) {
        FuzzCheck(TryStrToFloat(FormatGeneral(single, 15), back) && static_cast<float>(back) == single,
                  "a single-precision value does not survive G15: " + field);
        FuzzCheck(TryStrToFloat(FormatFixed(single, 7, 3), back), "F3 does not read back: " + field);
    }
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const QString fixed = FormatFixed(value, 3, decimals);
        FuzzCheck(TryStrToFloat(fixed, back), "FormatFixed does not read back: " + fixed);
    }
    FuzzCheck(FormatVolts(value).endsWith(QLatin1String(" V")) && FormatAmps(value).endsWith(QLatin1String(" A")),
              "unit missing");
    (void)RoundHalfEven(value);
    (void)RoundUp(value);
    (void)CalibrationNumber(single);
}

} // namespace

TARVIK_FUZZ_TARGET(frame)
{
    const QString text = FuzzLatin1(data, size);
    TParsedCommand parsed;
    ParseFrame(text, parsed);
    CheckSplit(text, parsed);
    // A second split into the same record leaves nothing of the first behind.
    TParsedCommand reused = parsed;
    ParseFrame(text.mid(1), reused);
    TParsedCommand fresh;
    ParseFrame(text.mid(1), fresh);
    FuzzCheck(reused.Command == fresh.Command && reused.Params == fresh.Params, "a reused record keeps old fields");

    CheckInteger(text);
    CheckReal(text);
    for (const QString& field : parsed.Params) {
        if (field.isEmpty())
            continue;
        CheckInteger(field);
        CheckReal(field);
    }
    (void)Pad4(text);
}
