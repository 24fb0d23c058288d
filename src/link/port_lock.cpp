#include "link/port_lock.h"

#include "link/port_check.h"

#include <QFile>
#include <QStringList>
#include <cerrno>

#ifdef Q_OS_LINUX
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace board {

std::optional<PortHolder> portHolder(const QString &device)
{
#ifdef Q_OS_LINUX
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0) return std::nullopt;
    // The lock table names a file by its file system's device, in hex, and
    // its inode: "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF".
    const QString inode = QStringLiteral("%1:%2:%3")
                              .arg(::major(st.st_dev), 2, 16, QLatin1Char('0'))
                              .arg(::minor(st.st_dev), 2, 16, QLatin1Char('0'))
                              .arg(quint64(st.st_ino));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) return std::nullopt;
    const qint64 self = ::getpid();
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QStringList f = QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 6 || f[1] == u"->" || f[5] != inode) continue;  // "->": one waiting for it
        const qint64 pid = f[4].toLongLong();
        if (pid <= 0 || pid == self) continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        QString program;
        if (comm.open(QIODevice::ReadOnly)) program = QString::fromLocal8Bit(comm.readAll()).trimmed();
        return PortHolder{pid, program};
    }
#else
    Q_UNUSED(device)
#endif
    return std::nullopt;
}

bool lockPort(int fd)
{
#ifdef Q_OS_LINUX
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
#else
    Q_UNUSED(fd)
    return true;
#endif
}

QString heldBy(const PortHolder &holder)
{
    const QString program = holder.program.isEmpty() ? QStringLiteral("un autre programme") : holder.program;
    return QStringLiteral("port occupé par %1 (processus %2)").arg(program).arg(holder.pid);
}

}  // namespace board
