// Any bytes from the line, decoded as an analog reply: a channel is shown
// exactly when its field can be cut, its coefficient read and their product
// stays within a double's range.
#include "acquisition/decode.h"
#include "text/numbers.h"

#include <cmath>
#include <cstdlib>

using namespace acquisition;

namespace {

const std::array<QString, 8> kCoefficients{"1", "0.5", "2,5", "", "-3", "1e3", "abc", "0"};
const std::array<QString, 8> kUnits{"V", "mA", "", "°C", "V", "V", "V", "V"};

void check(const QString &buffer)
{
    const auto raw = analogRawValues(buffer);
    if (!raw[7]) std::abort();  // the last field always has its four characters
    for (QStringView sep : {QStringView(u"."), QStringView(u",")}) {
        const AnalogReading r = decodeAnalog(buffer, kCoefficients, kUnits, sep);
        for (size_t k = 0; k < 8; ++k) {
            const auto c = text::readRegional(kCoefficients[k], sep);
            // A value beyond a double's range is left out rather than shown
            // as "inf" or stored as a number no file can read back.
            const double stored = raw[k] && c ? *c * *raw[k] : 0.0;
            const bool expected = raw[k] && c && std::isfinite(stored) && std::isfinite(stored * 0.0196);
            if (r[k].has_value() != expected) std::abort();
            if (!r[k]) continue;
            if (!r[k]->label.endsWith(u' ' + kUnits[k])) std::abort();
            const auto back = text::readRegional(r[k]->stored, sep);
            if (!back || std::abs(*back - stored) > 0.005 + std::abs(stored) * 1e-9) std::abort();
        }
    }
    (void)decodeAnalog(buffer, kCoefficients, kUnits);  // regional separator
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    check(QString::fromLatin1(bytes, qsizetype(size)));
    check(QString::fromUtf8(bytes, qsizetype(size)));
    return 0;
}
