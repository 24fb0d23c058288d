// The number rules on any text: no crash, and a two-decimal text reads back
// to within half a hundredth of the value.
#include "text/numbers.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double a = text::leadingNumber(s);
    const double b = text::leadingNumberAnyPoint(s);
    (void)text::parseAnyPoint(s);
    for (double v : {a, b}) {
        (void)text::toInt16(v);
        if (!std::isfinite(v) || std::abs(v) > 1e12) continue;
        for (QStringView sep : {QStringView(u"."), QStringView(u",")}) {
            const QString two = text::twoDecimals(v, sep);
            const auto back = text::readRegional(two, sep);
            if (!back || std::abs(*back - v) > 0.005 + std::abs(v) * 1e-9) std::abort();
            (void)text::plainNumber(v, sep);
            (void)text::readRegional(s, sep);
        }
    }
    return 0;
}
