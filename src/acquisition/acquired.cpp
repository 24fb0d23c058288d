#include "acquisition/acquired.h"

namespace acquisition {

Acquired analogAcquired(const AnalogReading &reading, const std::array<QString, 8> &units, const QDateTime &time,
                        int slot, QStringView separator)
{
    Acquired a;
    a.channel = Channel::Analog;
    a.time = time;
    a.units = units;
    a.slot = slot;
    for (size_t k = 0; k < 8; ++k) {
        if (!reading[k]) continue;
        a.values[k] = reading[k]->stored;
        if (separator != u".") a.values[k].replace(separator.toString(), QStringLiteral("."));
    }
    return a;
}

Acquired logicAcquired(const LogicBits &bits, const QDateTime &time, int slot)
{
    Acquired a;
    a.channel = Channel::Logic;
    a.time = time;
    a.slot = slot;
    for (size_t k = 0; k < 8; ++k) a.values[k] = QString(bits[k]);
    return a;
}

}  // namespace acquisition
