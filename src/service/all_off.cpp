#include "service/all_off.h"

#include "files/error_text.h"
#include "link/port_check.h"
#include "link/port_lock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace service {

namespace {

void rawLine(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS);
    tio.c_cflag |= tcflag_t(CS8 | CLOCAL | CREAD);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(fd, TCSANOW, &tio);
}

// Until the driver's output queue is empty, at most 2 s (two bytes take 2 ms
// at 9600 baud).
void waitSent(int fd)
{
    QElapsedTimer t;
    t.start();
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && t.elapsed() < 2000) QThread::msleep(5);
}

}  // namespace

bool sendAllOff(const QString &device, QString *said, int waitMs)
{
    const auto say = [&](const QString &s) {
        if (said) *said = s;
    };
    const QByteArray name = QFile::encodeName(device);
    QElapsedTimer t;
    t.start();
    bool waited = false;
    for (;;) {
        const board::PortCheck check = board::checkPortDevice(device);
        if (check.access != board::PortAccess::Usable) {
            say(QStringLiteral("%1 : %2 ; commande tout-éteint non envoyée").arg(device, check.reason));
            return false;
        }
        const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const int err = errno;
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            rawLine(fd);
            static const char kAllOff[2] = {'n', '\0'};
            const ssize_t n = ::write(fd, kAllOff, sizeof kAllOff);
            const int writeErr = errno;
            waitSent(fd);
            ::close(fd);
            if (n != ssize_t(sizeof kAllOff)) {
                say(QStringLiteral("%1 : %2 ; commande tout-éteint non envoyée")
                        .arg(device, files::reasonFromErrno(writeErr)));
                return false;
            }
            say(QStringLiteral("%1 : commande tout-éteint 6E 00 envoyée%2")
                    .arg(device,
                         waited ? QStringLiteral(" (le port s'est libéré après %1 ms)").arg(t.elapsed()) : QString()));
            return true;
        }
        if (fd >= 0) ::close(fd);
        const bool busy = fd >= 0 || err == EBUSY;
        if (!busy) {
            say(QStringLiteral("%1 : %2 ; commande tout-éteint non envoyée").arg(device, files::reasonFromErrno(err)));
            return false;
        }
        if (t.elapsed() >= waitMs) {
            const auto holder = board::portHolder(device);
            say(QStringLiteral("%1 : %2 depuis %3 s ; commande tout-éteint non envoyée")
                    .arg(device, holder ? board::heldBy(*holder) : board::portBusy())
                    .arg(waitMs / 1000));
            return false;
        }
        waited = true;
        QThread::msleep(50);
    }
}

}  // namespace service
