#include "engine/journal_recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace {

QString fileName(const QString &path) { return QFileInfo(path).fileName(); }

constexpr qint64 kCheckEveryMs = 1000;

}  // namespace

JournalRecorder::JournalRecorder(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("journalRecorder"));
    sync_ = new QTimer(this);
    sync_->setObjectName(QStringLiteral("journalSync"));
    sync_->setSingleShot(true);
    sync_->setTimerType(Qt::PreciseTimer);  // a vanished file is seen within the second
    connect(sync_, &QTimer::timeout, this, &JournalRecorder::sync_Timer);
}

bool JournalRecorder::start(const QString &path, const files::Units &units)
{
    if (running()) stop();
    QString error;
    if (!writer_.open(path, units, &error)) {
        fail(error);
        return false;
    }
    emit linesChanged(writer_.lines());
    scheduleSync();
    return true;
}

std::optional<JournalRecorder::Closed> JournalRecorder::stop()
{
    if (!writer_.isOpen() || !inPlace()) return std::nullopt;
    const Closed closed{writer_.path(), writer_.lines()};
    writer_.close();
    sync_->stop();
    return closed;
}

// The journal stops; the acquisitions, the tables and the relays go on.
void JournalRecorder::fail(const QString &why)
{
    writer_.close();
    sync_->stop();
    emit stopped(QStringLiteral("Journal continu arrêté. %1").arg(why));
}

void JournalRecorder::record(const acquisition::Acquired &a)
{
    if (!writer_.isOpen() || !a.answered) return;  // no reply: no line, the gap stays visible
    QString error;
    if (!writer_.append(a, &error)) return fail(error);
    emit linesChanged(writer_.lines());
    scheduleSync();
}

// While the journal is open the timer runs at least once a second: it flushes
// the lines waiting and makes sure the file is still where it was chosen.
void JournalRecorder::scheduleSync()
{
    if (!writer_.isOpen() || sync_->isActive()) return;
    const qint64 ms = writer_.msUntilSync();
    sync_->start(int(ms >= 0 ? std::min(ms, kCheckEveryMs) : kCheckEveryMs));
}

void JournalRecorder::sync_Timer()
{
    if (!writer_.isOpen() || !inPlace()) return;
    QString error;
    if (!writer_.syncIfDue(&error)) return fail(error);
    scheduleSync();
}

// False when the journal had to stop because its file is gone.
bool JournalRecorder::inPlace()
{
    const QString was = fileName(writer_.path());
    const qint64 unchecked = writer_.linesSinceCheck();
    switch (writer_.checkPlace()) {
    case files::JournalWriter::Place::Same:
        return true;
    case files::JournalWriter::Place::Renamed:
        emit renamed(was, writer_.path());
        return true;
    case files::JournalWriter::Place::Moved:
        fail(QStringLiteral("Le fichier du journal « %1 » a été déplacé vers « %2 » : ses lignes y sont, "
                            "mais il n'est plus là où il a été choisi.")
                 .arg(was, QDir::toNativeSeparators(writer_.movedTo())));
        return false;
    case files::JournalWriter::Place::Lost:
        break;
    }
    const QString lost =
        unchecked == 0 ? QStringLiteral("aucune ligne n'a été écrite depuis la dernière vérification")
        : unchecked == 1
            ? QStringLiteral("1 ligne écrite depuis la dernière vérification est perdue")
            : QStringLiteral("%1 lignes écrites depuis la dernière vérification sont perdues").arg(unchecked);
    fail(QStringLiteral("Le fichier du journal « %1 » a été supprimé ou déplacé : %2.").arg(was, lost));
    return false;
}
