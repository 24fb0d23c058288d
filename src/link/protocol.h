#pragma once
// The three commands the panel writes to the board, and the port names.

#include <QByteArray>
#include <QString>
#include <array>

namespace board {

// Bit i is set when output i is on.
quint8 outputByte(const std::array<bool, 8> &states);

QByteArray outputCommand(quint8 byte);  // "n" then the byte itself
inline QByteArray analogRequest() { return QByteArrayLiteral("nA"); }
inline QByteArray logicRequest() { return QByteArrayLiteral("nL"); }

// "COM1" … "COM4" for 1 … 4, empty for any other number.
QString portName(int number);
// The answer of the port dialog: upper-cased, then exactly "COM1" … "COM4";
// 0 when it names no port.
int portFromAnswer(const QString &answer);
// The device behind COMn when the user attached none (see port_map.h):
// "COMn" on Windows; on Linux /dev/ttyS(n-1) unless the environment variable
// PRAMELOR_COMn gives a full path.
QString portDevice(int number);

}  // namespace board
