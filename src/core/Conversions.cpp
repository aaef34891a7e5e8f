#include "core/Conversions.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

#include "config/AppSettings.h"
#include "core/Errors.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// A finite number as decimal digits: value = 0.Digits x 10^Exponent, Digits without leading
// zeros (empty for zero). The digits are the shortest ones that read back as the same double,
// so 12.0345 is "120345" and not the binary neighbour 12.03449999..., and a single-precision
// reading widened to double keeps all of its own digits.
struct Decimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

Decimal ToDecimal(double x)
{
    Decimal dec;
    dec.Negative = std::signbit(x);
    if (x == 0)
        return dec;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::scientific);
    const std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            dec.Digits += text[i];
    dec.Exponent = std::stoi(text.substr(e + 1)) + 1;
    while (!dec.Digits.empty() && dec.Digits.back() == '0')
        dec.Digits.pop_back();
    return dec;
}

// Keeps the first `keep` digits, rounding half away from zero on the digit after them.
void RoundDigits(Decimal& dec, int keep)
{
    if (keep >= static_cast<int>(dec.Digits.size()))
        return;
    if (keep < 0) {
        dec.Digits.clear();
        return;
    }
    const bool up = dec.Digits[keep] >= '5';
    dec.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && dec.Digits[i] == '9') {
            dec.Digits[i] = '0';
            --i;
        }
        if (i < 0) {
            dec.Digits.insert(dec.Digits.begin(), '1');
            ++dec.Exponent;
        } else {
            ++dec.Digits[i];
        }
    }
    while (!dec.Digits.empty() && dec.Digits.back() == '0')
        dec.Digits.pop_back();
}

QString NonFinite(double x)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString Scientific(const Decimal& dec)
{
    QString text;
    if (dec.Digits.empty())
        return QStringLiteral("0");
    if (dec.Negative)
        text += u'-';
    text += QLatin1Char(dec.Digits[0]);
    if (dec.Digits.size() > 1)
        text += u'.' + QString::fromLatin1(dec.Digits.c_str() + 1);
    text += u'E' + QString::number(dec.Exponent - 1);
    return text;
}

// The digit at position `i` of the unbounded digit string (zeros outside the kept digits).
char DigitAt(const Decimal& dec, int i)
{
    return i >= 0 && i < static_cast<int>(dec.Digits.size()) ? dec.Digits[i] : '0';
}

int ClampPrecision(int precision) { return precision < 1 ? 1 : (precision > 18 ? 18 : precision); }

} // namespace

bool TryStrToInt(const QString& text, int32_t& value)
{
    int i = 0;
    const int n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || (!hex && digit > 9))
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        const uint32_t bits = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

int32_t StrToInt(const QString& text)
{
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

int32_t StrToIntDef(const QString& text, int32_t fallback)
{
    int32_t value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

namespace {
// The power of ten of the first non-zero digit of a plain ASCII number ("123.4e5" gives 7,
// "0.001" gives -3); only its sign matters, so a huge exponent saturates.
long long DecimalMagnitude(const std::string& ascii)
{
    long long integerDigits = 0;
    long long firstNonZero = -1;  // index among all mantissa digits
    long long digitIndex = 0;
    bool point = false;
    size_t i = 0;
    for (; i < ascii.size() && ascii[i] != 'e'; ++i) {
        if (ascii[i] == '.') {
            point = true;
            continue;
        }
        if (!point)
            ++integerDigits;
        if (firstNonZero < 0 && ascii[i] != '0')
            firstNonZero = digitIndex;
        ++digitIndex;
    }
    long long exponent = 0;
    if (i < ascii.size()) {
        ++i;
        bool negative = false;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-'))
            negative = ascii[i++] == '-';
        for (; i < ascii.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (ascii[i] - '0'), 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    if (firstNonZero < 0)
        return -1;  // zero itself never overflows
    return integerDigits - 1 - firstNonZero + exponent;
}
} // namespace

namespace {
constexpr double ExactPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The short decimals the stand sends ("12.345", "-0.5"), read without the general reader below:
// with at most 15 digits they form an integer a double holds exactly, and one division by an
// exact power of ten is rounded once, correctly, so the value is the one std::from_chars gives.
// `begin` is past the sign; the magnitude is returned. False when the text is not of that form;
// the general reader then decides.
bool TryShortDecimal(const QString& text, int begin, int end, double& magnitude)
{
    int i = begin;
    uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - u'0');
            decimals += point;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0)
        return false;
    magnitude = static_cast<double>(digits) / ExactPowersOfTen[decimals];
    return true;
}
} // namespace

bool TryStrToFloat(const QString& text, double& value)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    int i = begin;
    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    double magnitude = 0;
    if (TryShortDecimal(text, i, end, magnitude)) {
        value = negative ? -magnitude : magnitude;
        return true;
    }

    // Build the plain ASCII form that std::from_chars reads the same way in every locale.
    std::string ascii;
    int digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            ascii += static_cast<char>(c.unicode());
            ++digits;
        } else if (c == u'.' && !point) {
            ascii += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            ascii += static_cast<char>(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            ascii += static_cast<char>(text[i].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;

    double parsed = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed, std::chars_format::general);
    if (result.ptr != ascii.data() + ascii.size())
        return false;
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large to hold is not a number we can use. Which of
        // the two it is depends on the value's magnitude, not on the exponent's sign alone:
        // "0.000...1" is tiny and "1000...0e-1" is huge.
        if (DecimalMagnitude(ascii) >= 0)
            return false;
        parsed = 0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

double StrToFloat(const QString& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

double StrToFloatDef(const QString& text, double fallback)
{
    double value = 0;
    return TryStrToFloat(text, value) ? value : fallback;
}

QString FormatFixed(double x, int precision, int decimals)
{
    if (!std::isfinite(x))
        return NonFinite(x);
    precision = ClampPrecision(precision);
    decimals = decimals < 0 ? 0 : (decimals > 18 ? 18 : decimals);

    const Decimal exact = ToDecimal(x);
    Decimal dec = exact;
    RoundDigits(dec, std::min(precision, dec.Exponent + decimals));
    if (!dec.Digits.empty() && dec.Exponent > precision) {
        Decimal general = exact;
        RoundDigits(general, precision);
        return Scientific(general);
    }

    QString text;
    if (dec.Negative && !dec.Digits.empty())
        text += u'-';
    if (dec.Digits.empty() || dec.Exponent <= 0) {
        text += u'0';
    } else {
        for (int i = 0; i < dec.Exponent; ++i)
            text += QLatin1Char(DigitAt(dec, i));
    }
    if (decimals > 0) {
        text += u'.';
        for (int i = 0; i < decimals; ++i)
            text += QLatin1Char(dec.Digits.empty() ? '0' : DigitAt(dec, dec.Exponent + i));
    }
    return text;
}

QString FormatGeneral(double x, int precision)
{
    if (!std::isfinite(x))
        return NonFinite(x);
    precision = ClampPrecision(precision);
    Decimal dec = ToDecimal(x);
    RoundDigits(dec, precision);
    if (dec.Digits.empty())
        return QStringLiteral("0");
    if (dec.Exponent > precision || dec.Exponent < -4)
        return Scientific(dec);

    QString text;
    if (dec.Negative)
        text += u'-';
    if (dec.Exponent <= 0) {
        text += QStringLiteral("0.");
        for (int i = dec.Exponent; i < 0; ++i)
            text += u'0';
        text += QString::fromLatin1(dec.Digits.c_str());
        return text;
    }
    for (int i = 0; i < dec.Exponent; ++i)
        text += QLatin1Char(DigitAt(dec, i));
    if (static_cast<int>(dec.Digits.size()) > dec.Exponent)
        text += u'.' + QString::fromLatin1(dec.Digits.c_str() + dec.Exponent);
    return text;
}

QString FormatVolts(double x)
{
    return FormatFixed(x, 7, AppSettings.ExtendedAdc24 ? 4 : 3) + QStringLiteral(" V");
}

QString FormatAmps(double x)
{
    return FormatFixed(x, 7, AppSettings.ExtendedAdc24 ? 4 : 2) + QStringLiteral(" A");
}

int RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5)
        r = 2.0 * std::round(x / 2.0);
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

int RoundRatioHalfEven(int64_t numerator, int64_t denominator)
{
    if (denominator <= 0)
        return 0;
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {  // floor division
        remainder += denominator;
        --quotient;
    }
    const int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(std::clamp<int64_t>(quotient, INT_MIN, INT_MAX));
}

int RoundUp(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = std::ceil(x);
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}
