// Whether the continuous journal's path still leads to the file it writes
// into. An open file outlives its name: deleted, or its folder removed, or
// its stick pulled and the file system unmounted lazily, it still takes every
// write and every flush without a word, and all of it goes nowhere.
#include "files/journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool statPath(const QString &path, struct stat &st)
{
    const QByteArray name = QFile::encodeName(path);
    return ::stat(name.constData(), &st) == 0;
}

// A name in folder that leads to the file own; empty when there is none.
QString nameInFolder(const QString &folder, const struct stat &own)
{
    const QByteArray name = QFile::encodeName(folder);
    DIR *d = ::opendir(name.constData());
    if (!d) return {};
    QString found;
    while (const dirent *e = ::readdir(d)) {
        if (ino_t(e->d_ino) != own.st_ino) continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            sameFile(st, own)) {
            found = QFile::decodeName(e->d_name);
            break;
        }
    }
    ::closedir(d);
    return found;
}

// Where the system says the open file now is (Linux keeps its name beside
// every open file); empty when it has no name that leads back to it.
QString nameOfOpenFile(int fd, const struct stat &own)
{
    QString link = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd));
    struct stat st {};
    if (link.isEmpty() || !statPath(link, st) || !sameFile(st, own)) return {};
    return link;
}

}  // namespace

JournalWriter::Place JournalWriter::checkPlace()
{
    if (fd_ < 0) return Place::Lost;
    struct stat own {};
    if (::fstat(fd_, &own) != 0 || own.st_nlink == 0) return Place::Lost;
    struct stat there {};
    if (statPath(path_, there) && sameFile(there, own)) {
        lines_checked_ = lines_;
        return Place::Same;
    }
    // Still linked somewhere: renamed within its folder, the journal follows.
    const QFileInfo was(path_);
    const QString renamed = nameInFolder(was.path(), own);
    if (!renamed.isEmpty()) {
        path_ = QDir(was.path()).filePath(renamed);
        lines_checked_ = lines_;
        return Place::Renamed;
    }
    moved_to_ = nameOfOpenFile(fd_, own);
    return moved_to_.isEmpty() ? Place::Lost : Place::Moved;
}

}  // namespace files
