#pragma once
// The continuous journal's recording, without a window: every acquisition
// of both frames as one line of the journal file, the lines flushed to the
// disk once a second, and a look at least once a second that the file is
// still where it was chosen. When the journal has to stop, stopped() says why
// in French; the acquisitions, the tables and the relays go on.

#include "acquisition/acquired.h"
#include "files/journal.h"

#include <QObject>
#include <QString>
#include <optional>

class QTimer;

class JournalRecorder : public QObject {
    Q_OBJECT
public:
    explicit JournalRecorder(QObject *parent = nullptr);

    // Opens the journal at path, or goes on with it; a new one starts with a
    // header naming the units. False (and stopped() said) when it cannot.
    bool start(const QString &path, const files::Units &units);
    // The journal closed, flushed: its last name and its number of lines;
    // nothing when it was not running or had to stop because its file is
    // gone (stopped() said).
    struct Closed {
        QString path;
        qint64 lines = 0;
    };
    std::optional<Closed> stop();

    bool running() const { return writer_.isOpen(); }
    qint64 lines() const { return writer_.lines(); }
    QString path() const { return writer_.path(); }

public slots:
    // One acquisition; one with no reply of the frame's form writes nothing,
    // so the gap stays visible.
    void record(const acquisition::Acquired &a);
    // Flushes the lines waiting and checks the file is in place; runs at
    // least once a second while the journal is open.
    void sync_Timer();

signals:
    void linesChanged(qint64 lines);
    // Renamed within its folder: the recording goes on under the new name.
    void renamed(const QString &wasName, const QString &path);
    void stopped(const QString &why);  // "Journal continu arrêté. …"

private:
    void fail(const QString &why);
    void scheduleSync();
    bool inPlace();

    QTimer *sync_ = nullptr;
    files::JournalWriter writer_;
};
