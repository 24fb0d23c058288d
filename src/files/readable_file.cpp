#include "files/readable_file.h"

#include "files/error_text.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif

namespace files {

ReadableFile::ReadableFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        fail(ENOENT);
        return;
    }
    // Looked at before opening: opening a device may act on it, and opening
    // a named pipe for reading waits for a writer.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        fail(errno);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        reason_ = reasonFromFileType(unsigned(st.st_mode));
        return;
    }
    // Without waiting even if it was swapped for a pipe in between; then
    // checked again on what was actually opened.
    do {
        fd_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        reason_ = S_ISREG(st.st_mode) ? reasonFromErrno(err) : reasonFromFileType(unsigned(st.st_mode));
        ::close(fd_);
        fd_ = -1;
        return;
    }
    size_ = qint64(st.st_size);
}

ReadableFile::~ReadableFile()
{
    if (fd_ >= 0) ::close(fd_);
}

void ReadableFile::fail(int err)
{
    absent_ = err == ENOENT;
    reason_ = reasonFromErrno(err);
}

qint64 ReadableFile::read(char *data, qint64 max)
{
    if (fd_ < 0) return -1;
    for (;;) {
        const auto n = ::read(fd_, data, size_t(max));
        if (n >= 0) return qint64(n);
        if (errno == EINTR) continue;
        reason_ = reasonFromErrno(errno);
        return -1;
    }
}

}  // namespace files
