#pragma once
// What stands behind a port's device name, looked at before opening it: a
// folder, a file, a pipe or a missing name is no serial port, and saying so
// in French is better than the serial library's guess.

#include <QString>

namespace board {

enum class PortAccess { Usable, Missing, NotAPort, Refused };

struct PortCheck {
    PortAccess access = PortAccess::Usable;
    QString reason;  // French, for anything but Usable
};

// Only a character device may be a serial port; whether it really is one
// shows when it is opened.
PortCheck checkPortDevice(const QString &device);

// Whether this process has the group among its own (effective or
// supplementary): what opening a device goes by, not the group file.
bool processInGroup(const char *group);
// What to do about a device the user may not open, knowing whether the
// process is already in the dialout group.
QString refusedHint(bool inDialout);

// The French reasons the port component gives.
QString notASerialPort(const QString &detail = QString());
QString portBusy();

}  // namespace board
