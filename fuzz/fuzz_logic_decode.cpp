// Any bytes from the line, decoded as a logic reply: always eight bits, and
// a whole byte value comes back as its own bits.
#include "acquisition/decode.h"
#include "text/numbers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace acquisition;

namespace {

void checkBitText(double v)
{
    const QString bits = logicBitText(v);
    if (bits.size() != 8) std::abort();
    for (QChar c : bits)
        if (c != u'0' && c != u'1') std::abort();
    const double r = std::nearbyint(v);
    if (std::isfinite(r) && r >= 0 && r <= 255) {
        if (bits.toInt(nullptr, 2) != int(r)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString buffer = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const LogicBits bits = decodeLogic(buffer);
    int byte = 0;
    for (size_t i = 0; i < 8; ++i) {
        if (bits[i] != u'0' && bits[i] != u'1') std::abort();
        if (bits[i] == u'1') byte |= 1 << i;
    }
    // The three characters after the first "E:" (without one, the reply is
    // read from its second character) holding a byte value.
    const qsizetype at = buffer.indexOf(QStringLiteral("E:"));
    const double v = text::leadingNumber(QStringView(buffer).mid(at < 0 ? 1 : at + 2, 3));
    const double r = std::nearbyint(v);
    if (r >= 0 && r <= 255 && byte != int(r)) std::abort();

    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        checkBitText(d);
    }
    checkBitText(v);
    return 0;
}
