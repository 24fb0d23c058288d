#include "viewer/follower.h"

#include "files/error_text.h"
#include "files/journal.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace viewer {

namespace {
constexpr qint64 kMostAtOnce = 16 << 20;  // a long silence is taken in pieces
}

JournalFollower::JournalFollower(const QString &path, qint64 offset, QObject *parent)
    : QObject(parent), path_(path), offset_(offset)
{
    poll_ = new QTimer(this);
    poll_->setObjectName(QStringLiteral("suiviTimer"));
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &JournalFollower::check);
}

void JournalFollower::setActive(bool on)
{
    if (on == active_) return;
    active_ = on;
    if (on) {
        watcher_ = new QFileSystemWatcher(QStringList{path_}, this);
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, &JournalFollower::check);
        poll_->start();
        check();
    } else {
        delete watcher_;
        watcher_ = nullptr;
        poll_->stop();
    }
}

void JournalFollower::check()
{
    if (!active_) return;
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        setActive(false);
        emit lost(files::failureSentence(QStringLiteral("suivre le journal"), path_, files::reasonFromErrno(err)));
        return;
    }
    if (st.st_size < offset_) {
        ::close(fd);
        setActive(false);
        emit lost(files::failureSentence(QStringLiteral("suivre le journal"), path_,
                                         QStringLiteral("le fichier a raccourci depuis sa lecture")));
        return;
    }
    while (st.st_size > offset_) {
        const qint64 n = std::min(qint64(st.st_size) - offset_, kMostAtOnce);
        QByteArray bytes(qsizetype(n), Qt::Uninitialized);
        if (!files::readAt(fd, bytes.data(), n, offset_)) {
            const int err = errno;
            ::close(fd);
            setActive(false);
            emit lost(files::failureSentence(QStringLiteral("suivre le journal"), path_, files::reasonFromErrno(err)));
            return;
        }
        offset_ += n;
        emit appended(bytes);
    }
    ::close(fd);
    // A journal begun again under the same name is watched anew.
    if (watcher_ && watcher_->files().isEmpty()) watcher_->addPath(path_);
}

}  // namespace viewer
