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
    FUZZ_CHECK(p.Command.size() <= ParsedCommandMaxName, "name longer than 30 characters");
    const qsizetype firstSemicolon = text.indexOf(u';');
    if (!text.startsWith(u'!') || firstSemicolon < 0) {
        FUZZ_CHECK(p.Command.isEmpty(), "a text that is no frame gave a name");
        for (const QString& param : p.Params)
            FUZZ_CHECK(param.isEmpty(), "a text that is no frame gave a field");
        return;
    }
    // Each ";" after the name's closes one field; what follows the last one is ignored.
    const qsizetype fields = text.count(u';') - 1;
    const bool nameCut = firstSemicolon - 1 > ParsedCommandMaxName;
    FUZZ_CHECK(p.Command == text.mid(1, firstSemicolon - 1).left(ParsedCommandMaxName), "name is not the text before the first ;");
    for (qsizetype k = fields; k < ParsedCommandMaxParams; ++k)
        FUZZ_CHECK(p.Params[static_cast<size_t>(k)].isEmpty(), "a field beyond the last ;");
    if (nameCut || fields > ParsedCommandMaxParams)
        return;
    QString rebuilt = u'!' + p.Command + u';';
    for (qsizetype k = 0; k < fields; ++k) {
        FUZZ_CHECK(!p.Params[static_cast<size_t>(k)].contains(u';'), "a field holds a ;");
        rebuilt += p.Params[static_cast<size_t>(k)] + u';';
    }
    FUZZ_CHECK(rebuilt == text.left(text.lastIndexOf(u';') + 1), "name and fields do not give back the frame: " + rebuilt);
}

// `throwing`: also through the throwing conversion and its error text (an exception costs
// far more than the conversion, so only some fields of a frame take this way).
void CheckInteger(const QString& field, bool throwing)
{
    int32_t value = 0;
    const bool ok = TryStrToInt(field, value);
    if (throwing) {
        try {
            const int32_t thrown = StrToInt(field);
            FUZZ_CHECK(ok && thrown == value, "StrToInt accepted what TryStrToInt refused, or differs");
        } catch (const EConvertError& e) {
            FUZZ_CHECK(!ok, "StrToInt refused what TryStrToInt accepted");
            FUZZ_CHECK(e.Message == QStringLiteral("'%1' is not a valid integer value").arg(field),
                      "integer error text: " + e.Message);
        }
    }
    FUZZ_CHECK(StrToIntDef(field, 12345) == (ok ? value : 12345), "StrToIntDef");
    if (!ok)
        return;
    int32_t again = 0;
    FUZZ_CHECK(TryStrToInt(QString::number(value), again) && again == value, "integer does not read back");
    // What the dispatcher stores from it.
    (void)static_cast<uint16_t>(value);
    (void)static_cast<uint8_t>(value);
}

// `thorough`: also the throwing conversion and every written form of the value (these cost
// far more than the conversion itself, so only some fields of a frame take them).
void CheckReal(const QString& field, bool thorough)
{
    double value = 0;
    const bool ok = TryStrToFloat(field, value);
    const bool throwing = thorough;
    if (throwing) {
        try {
            const double thrown = StrToFloat(field);
            FUZZ_CHECK(ok && thrown == value, "StrToFloat differs from TryStrToFloat");
        } catch (const EConvertError& e) {
            FUZZ_CHECK(!ok, "StrToFloat refused what TryStrToFloat accepted");
            FUZZ_CHECK(e.Message == QStringLiteral("'%1' is not a valid floating point value").arg(field),
                      "real error text: " + e.Message);
        }
    }
    if (!ok)
        return;
    FUZZ_CHECK(std::isfinite(value), "a real that reads as infinite or undefined: " + field);
    if (!thorough)
        return;

    // The written forms read back: 17 digits exactly, 15 digits to within their rounding.
    double back = 0;
    const QString exact = FormatGeneral(value, 17);
    FUZZ_CHECK(TryStrToFloat(exact, back) && back == value, "17 digits do not read back: " + field + " -> " + exact);
    const QString general = FormatGeneral(value, 15);
    FUZZ_CHECK(TryStrToFloat(general, back) && std::fabs(back - value) <= std::fabs(value) * 1e-14,
              "15 digits do not read back: " + field + " -> " + general);
    // Single precision as the readings and settings hold it.
    const float single = static_cast<float>(value);
    if (std::isfinite(single)) {
        FUZZ_CHECK(TryStrToFloat(FormatGeneral(single, 15), back) && static_cast<float>(back) == single,
                  "a single-precision value does not survive G15: " + field);
        FUZZ_CHECK(TryStrToFloat(FormatFixed(single, 7, 3), back), "F3 does not read back: " + field);
    }
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const QString fixed = FormatFixed(value, 3, decimals);
        FUZZ_CHECK(TryStrToFloat(fixed, back), "FormatFixed does not read back: " + fixed);
    }
    FUZZ_CHECK(FormatVolts(value).endsWith(QLatin1String(" V")) && FormatAmps(value).endsWith(QLatin1String(" A")),
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
    FUZZ_CHECK(reused.Command == fresh.Command && reused.Params == fresh.Params, "a reused record keeps old fields");

    CheckInteger(text, true);
    CheckReal(text, true);
    int checked = 0;
    for (const QString& field : parsed.Params) {
        if (field.isEmpty())
            continue;
        const bool thorough = ++checked <= 3;
        CheckInteger(field, thorough);
        CheckReal(field, thorough);
    }
    (void)Pad4(text);
}
