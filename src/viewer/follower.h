#pragma once
// Watches a journal that is being written and hands over the bytes appended
// to it: woken by the file system's notice, and by a look at the size once a
// second in case that notice does not come. Only the new bytes are read; the
// journal itself is never written.

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace viewer {

class JournalFollower : public QObject {
    Q_OBJECT
public:
    // offset: the bytes already taken.
    JournalFollower(const QString &path, qint64 offset, QObject *parent = nullptr);
    void setActive(bool on);
    bool active() const { return active_; }
    qint64 offset() const { return offset_; }
    static constexpr int kPollMs = 1000;

public slots:
    void check();  // reads what was appended since the last look

signals:
    void appended(const QByteArray &bytes);
    // The file became shorter or could not be read: what it holds now is no
    // longer what was taken. reason: French.
    void lost(const QString &reason);

private:
    QString path_;
    qint64 offset_ = 0;
    bool active_ = false;
    QFileSystemWatcher *watcher_ = nullptr;
    QTimer *poll_ = nullptr;
};

}  // namespace viewer
