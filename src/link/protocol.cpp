#include "link/protocol.h"

#include "link/port_map.h"

#include <QtGlobal>

namespace board {

quint8 outputByte(const std::array<bool, 8> &states)
{
    quint8 byte = 0;
    for (int i = 0; i < 8; ++i)
        if (states[size_t(i)]) byte |= quint8(1u << i);
    return byte;
}

QByteArray outputCommand(quint8 byte)
{
    QByteArray cmd("n");
    cmd.append(char(byte));
    return cmd;
}

QString portName(int number) { return number >= 1 && number <= 4 ? QStringLiteral("COM%1").arg(number) : QString(); }

int portFromAnswer(const QString &answer)
{
    const QString up = answer.toUpper();
    for (int n = 1; n <= 4; ++n)
        if (up == portName(n)) return n;
    return 0;
}

QString portDevice(int number) { return portDevice(number, PortMap{}); }

}  // namespace board
