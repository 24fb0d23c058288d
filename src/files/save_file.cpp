#include "files/save_file.h"

#include "files/error_text.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_DIRECTORY
#define O_DIRECTORY 0
#endif

namespace files {

namespace {

struct Failure {
    int err = 0;     // the system's error number, when there is one
    QString reason;  // French
};

Failure fromErrno(int err) { return {err, reasonFromErrno(err)}; }

int openNew(const QByteArray &name, mode_t mode)
{
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Every byte, or the reason why not (a short write is followed by the
// write that says why: EFBIG, ENOSPC …).
bool writeAll(int fd, const QByteArray &bytes, Failure &failure)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const auto n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            failure = fromErrno(errno);
            return false;
        }
        if (n == 0) {
            failure = fromErrno(ENOSPC);
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// The folder's entry for the renamed file on the disk too; a folder that
// cannot be opened or synchronised (some file systems) is no failure.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The temporary files are named ".NAME.pramelor-XXXXXXX", seven base-36
// digits at the end: hidden beside the file they will replace, and
// recognisable as ours.
constexpr char kTempMark[] = ".pramelor-";
constexpr int kTempDigits = 7;
// A temporary file left this long unchanged belongs to no save in progress (a
// save writes, synchronises and renames its file at once): a save cut short
// by a crash, a kill or a power cut.
constexpr time_t kStaleSeconds = 60;

bool isTempName(const char *name)
{
    const size_t n = std::strlen(name), mark = sizeof(kTempMark) - 1;
    if (name[0] != '.' || n < 2 + mark + kTempDigits) return false;
    if (std::memcmp(name + n - kTempDigits - mark, kTempMark, mark) != 0) return false;
    for (size_t i = n - kTempDigits; i < n; ++i)
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'z'))) return false;
    return true;
}

// Our own temporary files that a save cut short left in the folder: plain
// files of this user, untouched for a minute.
void removeStaleTemporaries(const QByteArray &folder)
{
    DIR *d = ::opendir(folder.constData());
    if (!d) return;
    const int dfd = ::dirfd(d);
    const time_t now = ::time(nullptr);
    while (const dirent *e = ::readdir(d)) {
        if (!isTempName(e->d_name)) continue;
        struct stat st {};
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < kStaleSeconds) continue;
        ::unlinkat(dfd, e->d_name, 0);
    }
    ::closedir(d);
}

bool replace(const QString &path, const QByteArray &bytes, Failure &failure, bool &hadOld)
{
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty()) {
        failure = fromErrno(ENOENT);
        return false;
    }
    // What stands under the name now (a link is not followed).
    struct stat old {};
    hadOld = false;
    mode_t mode = 0666;  // lessened by the umask for a new file
    if (::lstat(target.constData(), &old) == 0) {
        if (S_ISREG(old.st_mode)) {
            hadOld = true;
            // A file the user made read-only stays as it is.
            if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0) {
                failure = fromErrno(errno);
                return false;
            }
            mode = old.st_mode & 07777;
        } else if (!S_ISLNK(old.st_mode)) {
            failure = {0, reasonFromFileType(unsigned(old.st_mode))};
            return false;
        }
    } else if (errno != ENOENT) {
        failure = fromErrno(errno);
        return false;
    }

    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray temp;
    int fd = -1;
    removeStaleTemporaries(folder);
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        const quint32 draw = QRandomGenerator::global()->generate();  // at most seven digits
        temp =
            QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName().left(200) +
                              QLatin1String(kTempMark) + QString::number(draw, 36).rightJustified(kTempDigits, u'0'));
        fd = openNew(temp, mode);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        failure = fromErrno(errno);
        return false;
    }
    if (hadOld) {
        // The old file's owner and permissions, as far as allowed.
        [[maybe_unused]] const bool owned = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        [[maybe_unused]] const bool kept = ::fchmod(fd, mode) == 0;
    }
    bool ok = writeAll(fd, bytes, failure);
    if (ok && ::fsync(fd) != 0) {
        failure = fromErrno(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        failure = fromErrno(errno);
        ok = false;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        failure = fromErrno(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error, int *errorNumber)
{
    Failure failure;
    bool hadOld = false;
    const bool ok = replace(path, bytes, failure, hadOld);
    if (errorNumber) *errorNumber = ok ? 0 : failure.err;
    if (!ok && error) {
        *error = failureSentence(QStringLiteral("écrire"), path, failure.reason);
        if (hadOld) *error += QStringLiteral(" ; l'ancien fichier est conservé");
    }
    return ok;
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeWhole(path, bytes, error, nullptr);
}

}  // namespace files
