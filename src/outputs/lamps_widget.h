#pragma once
// The outputs as the window shows them: a green lamp for an output on, a grey
// one for an output off.

#include <QColor>
#include <array>

namespace outputs {

inline constexpr QRgb kLampOn = 0x00FF00;   // green: output on
inline constexpr QRgb kLampOff = 0xC0C0C0;  // grey: output off

QColor lampOn();
QColor lampOff();
QColor lampFor(bool on);
bool isOn(const QColor &lamp);   // exactly green
bool isOff(const QColor &lamp);  // exactly grey

// Green becomes grey, grey becomes green, any other colour stays.
QColor toggled(const QColor &lamp);
// An output is on when its lamp is exactly green; any other colour is off.
std::array<bool, 8> statesOf(const std::array<QColor, 8> &lamps);

}  // namespace outputs

namespace board {
// The byte the board hears for what the lamps show.
quint8 outputByte(const std::array<QColor, 8> &lamps);
}  // namespace board
