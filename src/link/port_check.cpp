#include "link/port_check.h"

#include "files/error_text.h"

#include <QFile>
#include <cerrno>
#ifndef Q_OS_WIN
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace board {

QString notASerialPort(const QString &detail)
{
    const QString base = QStringLiteral("ce n'est pas un port série");
    return detail.isEmpty() ? base : base + QStringLiteral(" (") + detail + u')';
}

QString portBusy() { return QStringLiteral("port occupé par un autre programme"); }

bool processInGroup(const char *group)
{
#ifdef Q_OS_WIN
    Q_UNUSED(group)
    return false;
#else
    const struct group *g = ::getgrnam(group);
    if (!g) return false;
    if (::getegid() == g->gr_gid) return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0) return false;
    std::vector<gid_t> groups(size_t(n), 0);
    const int got = ::getgroups(n, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[size_t(i)] == g->gr_gid) return true;
    return false;
#endif
}

QString refusedHint(bool inDialout)
{
    // A user added to dialout has the group only from the next login.
    return inDialout ? QStringLiteral("le groupe dialout n'a pas accès à ce périphérique")
                     : QStringLiteral("ajoutez l'utilisateur au groupe dialout, puis reconnectez-vous");
}

PortCheck checkPortDevice(const QString &device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(device)
    return {};
#else
    const QByteArray name = QFile::encodeName(device);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) return {PortAccess::Missing, files::reasonFromErrno(ENOENT)};
        return {err == EACCES || err == EPERM ? PortAccess::Refused : PortAccess::NotAPort,
                files::reasonFromErrno(err)};
    }
    if (S_ISCHR(st.st_mode)) {
        if (::access(name.constData(), R_OK | W_OK) != 0) {
            const QString reason = files::reasonFromErrno(errno);  // before the group lookup changes errno
            return {PortAccess::Refused, reason + QStringLiteral(" — ") + refusedHint(processInGroup("dialout"))};
        }
        return {};
    }
    if (S_ISDIR(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un dossier"))};
    if (S_ISREG(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un fichier"))};
    if (S_ISFIFO(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un tube nommé"))};
    return {PortAccess::NotAPort, notASerialPort()};
#endif
}

}  // namespace board
