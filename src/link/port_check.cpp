#include "link/port_check.h"

#include "files/error_text.h"

#include <QFile>
#include <cerrno>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace board {

QString notASerialPort(const QString &detail)
{
    const QString base = QStringLiteral("ce n'est pas un port série");
    return detail.isEmpty() ? base : base + QStringLiteral(" (") + detail + u')';
}

QString portBusy() { return QStringLiteral("port occupé par un autre programme"); }

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
        if (::access(name.constData(), R_OK | W_OK) != 0)
            return {PortAccess::Refused,
                    files::reasonFromErrno(errno) + QStringLiteral(" — ajoutez l'utilisateur au groupe dialout")};
        return {};
    }
    if (S_ISDIR(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un dossier"))};
    if (S_ISREG(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un fichier"))};
    if (S_ISFIFO(st.st_mode)) return {PortAccess::NotAPort, notASerialPort(QStringLiteral("c'est un tube nommé"))};
    return {PortAccess::NotAPort, notASerialPort()};
#endif
}

}  // namespace board
