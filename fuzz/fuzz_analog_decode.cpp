// Any bytes from the line, decoded as an analog reply.
#include "acquisition/decode.h"

#include <cmath>
#include <cstdlib>

using namespace acquisition;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString buffer = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)analogRawValues(buffer);
    const std::array<QString, 8> coefficients{"1", "0.5", "2,5", "", "-3", "1e3", "abc", "0"};
    const std::array<QString, 8> units{"V", "mA", "", "°C", "V", "V", "V", "V"};
    for (QStringView sep : {QStringView(u"."), QStringView(u",")}) {
        (void)decodeAnalog(buffer, coefficients, units, sep);
    }
    return 0;
}
