#include "outputs/outputs.h"

#include "link/protocol.h"

namespace outputs {

QColor lampOn() { return QColor::fromRgb(board::kLampOn); }
QColor lampOff() { return QColor::fromRgb(board::kLampOff); }
bool isOn(const QColor &lamp) { return lamp == lampOn(); }
bool isOff(const QColor &lamp) { return lamp == lampOff(); }

QColor toggled(const QColor &lamp)
{
    if (isOn(lamp)) return lampOff();
    if (isOff(lamp)) return lampOn();
    return lamp;
}

void applyTimetable(std::array<QColor, 8> &lamps, const std::array<TimetableRow, 8> &rows,
                    const std::function<QString()> &timeText)
{
    for (size_t i = 0; i < 8; ++i)
        if (rows[i].start == timeText() && rows[i].automatic) lamps[i] = lampOn();
    for (size_t i = 0; i < 8; ++i)
        if (rows[i].end == timeText() && rows[i].automatic) lamps[i] = lampOff();
}

}  // namespace outputs
