#pragma once
// Decoding of the board's replies: the analog reply (markers "s1" … "s8") into
// eight labels and stored values, the logic reply (marker "E:") into eight bits.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace acquisition {

// Position of the first occurrence of t starting at position from or later,
// positions counted from 1; 0 when there is none.
int findFrom(QStringView s, QStringView t, int from);
// The characters from position start (from 1) of the given length; empty when
// the start lies beyond the end. A negative length gives nothing at all.
std::optional<QStringView> midText(QStringView s, int start, int length);

struct AnalogValue {
    QString label;   // coefficient × raw × 0.0196, two decimals, a blank, the unit
    QString stored;  // coefficient × raw, two decimals, kept as text
};
// One entry a channel (index 0 = channel 1); nothing when the channel cannot
// be taken (its field has a negative length, its coefficient is no number, or
// a value is beyond the range of a double): its label and its table slot then
// keep what they hold.
using AnalogReading = std::array<std::optional<AnalogValue>, 8>;

// The raw value of each channel read from the buffer, nothing when skipped.
std::array<std::optional<double>, 8> analogRawValues(QStringView buffer);

// Coefficients are read with the regional separator, the raw fields with the
// leading-number rule.
AnalogReading decodeAnalog(QStringView buffer, const std::array<QString, 8> &coefficients,
                           const std::array<QString, 8> &units);
AnalogReading decodeAnalog(QStringView buffer, const std::array<QString, 8> &coefficients,
                           const std::array<QString, 8> &units, QStringView separator);

// The logic byte read after the first "E:" (three characters), as eight digits
// '0'/'1', index 0 = input 1 (least significant bit). A negative value or one
// beyond a 32-bit whole number (a garbled reply) shows as all zeros.
using LogicBits = std::array<QChar, 8>;
LogicBits decodeLogic(QStringView buffer);

// Whether the buffer holds a reply at all: one of the markers "s1" … "s8"
// for the analog frame, "E:" for the logic frame.
bool hasAnalogMarker(QStringView buffer);
bool hasLogicMarker(QStringView buffer);
// Whether the buffer holds a reply of that frame's form: an analog marker for
// the analog frame; for the logic frame "E:" followed by a figure within the
// three characters read (blanks and a plus sign aside; a minus, which the
// board never sends, marks a garbled reply).
bool isAnalogReply(QStringView buffer);
bool isLogicReply(QStringView buffer);
// The bit text of a value, most significant first: hexadecimal, at least two
// digits, the first two digits in binary.
QString logicBitText(double v);

}  // namespace acquisition
