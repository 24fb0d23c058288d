#include "outputs/lamps_widget.h"

#include "link/protocol.h"

namespace outputs {

QColor lampOn() { return QColor::fromRgb(kLampOn); }
QColor lampOff() { return QColor::fromRgb(kLampOff); }
QColor lampFor(bool on) { return on ? lampOn() : lampOff(); }
bool isOn(const QColor &lamp) { return lamp.isValid() && lamp.alpha() == 255 && (lamp.rgb() & 0xFFFFFF) == kLampOn; }
bool isOff(const QColor &lamp) { return lamp == lampOff(); }

QColor toggled(const QColor &lamp)
{
    if (isOn(lamp)) return lampOff();
    if (isOff(lamp)) return lampOn();
    return lamp;
}

std::array<bool, 8> statesOf(const std::array<QColor, 8> &lamps)
{
    std::array<bool, 8> states{};
    for (size_t i = 0; i < 8; ++i) states[i] = isOn(lamps[i]);
    return states;
}

}  // namespace outputs

namespace board {
quint8 outputByte(const std::array<QColor, 8> &lamps) { return outputByte(outputs::statesOf(lamps)); }
}  // namespace board
