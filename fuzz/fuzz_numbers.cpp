// The number rules on any text and any double: no crash, and what one rule
// writes the matching rule reads back.
#include "text/numbers.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool near(double back, double v, double absolute, double relative)
{
    return std::abs(back - v) <= absolute + std::abs(v) * relative;
}

void checkInt16(double v)
{
    const auto r = text::toInt16(v);
    if (!std::isfinite(v)) {
        if (r) std::abort();
        return;
    }
    // -32768.5 rounds to the even -32768, 32767.5 to the even 32768 (outside).
    const bool inRange = v >= -32768.5 && v < 32767.5;
    if (bool(r) != inRange) std::abort();
    if (!r) return;
    const double d = std::abs(double(*r) - v);
    if (d > 0.5) std::abort();
    if (d == 0.5 && (*r % 2) != 0) std::abort();
}

void checkWritten(double v)
{
    if (!std::isfinite(v)) return;
    for (QStringView sep : {QStringView(u"."), QStringView(u",")}) {
        // "0.##": whole digits, the separator always, at most two decimals
        // without a trailing zero.
        const QString two = text::twoDecimals(v, sep);
        static const QRegularExpression shapePoint(QStringLiteral("^-?(0|[1-9][0-9]*)\\.([0-9]?[1-9])?$"));
        static const QRegularExpression shapeComma(QStringLiteral("^-?(0|[1-9][0-9]*),([0-9]?[1-9])?$"));
        if (!(sep == u"." ? shapePoint : shapeComma).match(two).hasMatch()) std::abort();
        if (two.startsWith(u"-0") && two.size() == 3) std::abort();  // "-0." is never written
        // Fifteen significant digits of the largest doubles may lie beyond
        // the largest double: such a two-decimal text is no number.
        const bool top = std::abs(v) > 1.7976931348623e308;
        const auto back = text::readRegional(two, sep);
        if (!back ? !top : !near(*back, v, 0.005, 1e-9)) std::abort();

        // The plain text reads back whatever the number, the largest too.
        const QString plain = text::plainNumber(v, sep);
        if (plain == u"-0" || plain.contains(sep == u"." ? u',' : u'.')) std::abort();
        const auto again = text::readRegional(plain, sep);
        if (!again || !near(*again, v, 1e-300, 1e-14)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double a = text::leadingNumber(s);
    const double b = text::leadingNumberAnyPoint(s);
    if (std::isnan(a) || std::isnan(b)) std::abort();
    // A text that is one number beyond the range of a double is no number.
    for (const auto &whole : {text::parseAnyPoint(s), text::readRegional(s, u"."), text::readRegional(s, u",")})
        if (whole && !std::isfinite(*whole)) std::abort();
    // Without a comma both readings are the same reading.
    if (!s.contains(u',') && std::memcmp(&a, &b, sizeof a) != 0) std::abort();

    const auto any = text::parseAnyPoint(s);
    const bool trimmed = s == s.trimmed();
    if (any && trimmed && std::memcmp(&*any, &b, sizeof b) != 0) std::abort();
    if (const auto point = text::readRegional(s, u".")) {
        if (trimmed && std::memcmp(&*point, &a, sizeof a) != 0) std::abort();
        if (!any) std::abort();  // a number with "." is a number with either point
    }
    if (const auto comma = text::readRegional(s, u",")) {
        if (trimmed && std::memcmp(&*comma, &b, sizeof b) != 0) std::abort();
        if (!any) std::abort();
    }

    for (double v : {a, b}) {
        checkInt16(v);
        checkWritten(v);
    }
    if (size >= sizeof(double)) {  // any bit pattern, for the writing rules
        double v;
        std::memcpy(&v, data, sizeof v);
        checkInt16(v);
        checkWritten(v);
    }
    return 0;
}
