#pragma once
// One port, one program: whoever opens the board's port takes an exclusive
// flock on it, and the next one to try finds out who holds it from the
// kernel's table of locks (/proc/locks: pid and inode), and that program's
// name from /proc/PID/comm. The window and pramelord both go through here.

#include <QString>
#include <optional>

namespace board {

struct PortHolder {
    qint64 pid = 0;
    QString program;  // empty when its name cannot be read
};

// Another process holding a lock on the device; nothing when none does.
std::optional<PortHolder> portHolder(const QString &device);

// Takes the exclusive lock on an opened descriptor without waiting; false
// when another process holds it.
bool lockPort(int fd);

// "port occupé par pramelord (processus 1234)"; the name unknown:
// "port occupé par un autre programme (processus 1234)".
QString heldBy(const PortHolder &holder);

}  // namespace board
