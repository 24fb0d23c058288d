// Any bytes from the line, decoded as a logic reply: always eight bits.
#include "acquisition/decode.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace acquisition;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString buffer = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    for (QChar c : decodeLogic(buffer))
        if (c != u'0' && c != u'1') std::abort();
    if (size >= sizeof(double)) {
        double v;
        std::memcpy(&v, data, sizeof v);
        if (std::isfinite(v) && std::abs(v) < 1e15) (void)logicBitText(v);
    }
    return 0;
}
