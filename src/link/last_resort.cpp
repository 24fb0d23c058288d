#include "link/last_resort.h"

#include <algorithm>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace board::last_resort {

namespace {

// Read from signal handlers: plain words and a path that is marked unusable
// while it is being rewritten.
volatile std::sig_atomic_t g_fd = -1;
volatile std::sig_atomic_t g_owed = 0;
volatile std::sig_atomic_t g_path_ready = 0;
char g_path[4096] = {};

#ifdef Q_OS_UNIX
bool writeAll(int fd, const char *bytes, size_t size)
{
    size_t done = 0;
    for (int tries = 0; done < size && tries < 50; ++tries) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
    return done == size;
}

// The line as the panel sets it: 9600 baud, 8 data bits, no parity, one stop
// bit, nothing translated. Only calls that are safe in a signal handler.
void rawLine(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    tio.c_oflag &= ~tcflag_t(OPOST);
    tio.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= tcflag_t(CS8 | CLOCAL | CREAD);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(fd, TCSANOW, &tio);
}
#endif

}  // namespace

void notePortOpen(int fd, const QByteArray &device)
{
    g_path_ready = 0;
    const size_t n = std::min(size_t(device.size()), sizeof g_path - 1);
    std::memcpy(g_path, device.constData(), n);
    g_path[n] = '\0';
    g_path_ready = n > 0;
    g_fd = fd;
}

void notePortClosed(int fd)
{
    if (g_fd == fd) g_fd = -1;
}

void setOwed(bool owed) { g_owed = owed; }

bool owed() { return g_owed != 0; }

bool writeAllOff() noexcept
{
#ifdef Q_OS_UNIX
    if (!g_owed) return false;
    static const char kAllOff[2] = {'n', '\0'};
    const int saved = errno;
    bool written = false;
    const int fd = g_fd;
    if (fd >= 0) {
        written = writeAll(fd, kAllOff, sizeof kAllOff);
    } else if (g_path_ready) {
        const int own = ::open(g_path, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (own >= 0) {
            rawLine(own);
            written = writeAll(own, kAllOff, sizeof kAllOff);
            ::close(own);  // the kernel still sends what it holds
        }
    }
    if (written) g_owed = 0;
    errno = saved;
    return written;
#else
    return false;
#endif
}

}  // namespace board::last_resort
