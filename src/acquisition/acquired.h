#pragma once
// One decoded acquisition as the frames announce it, memorised or not: for
// the continuous journal and whoever else follows the acquisitions live.

#include "acquisition/channel.h"
#include "acquisition/decode.h"

#include <QDateTime>
#include <QString>
#include <array>

namespace acquisition {

struct Acquired {
    Channel channel = Channel::Analog;
    QDateTime time;  // when the request was written to the line
    // The eight values as the tables store them, with "." as the decimal
    // point (analog: coefficient × raw, two decimals; logic: "0" or "1");
    // empty for an analog channel whose step was skipped.
    std::array<QString, 8> values;
    std::array<QString, 8> units;  // analog: the unit boxes at that moment
    int slot = -1;                 // the slot written when memorised, else -1
    // The buffer held a reply of this frame's form. When not (no reply, or
    // the other frame's), the values come from nothing the board said: they
    // are shown and stored as they always were, but recorded nowhere else.
    bool answered = true;
};

// separator: the regional one the stored texts were written with.
Acquired analogAcquired(const AnalogReading &reading, const std::array<QString, 8> &units, const QDateTime &time,
                        int slot, QStringView separator);
Acquired logicAcquired(const LogicBits &bits, const QDateTime &time, int slot);

}  // namespace acquisition
