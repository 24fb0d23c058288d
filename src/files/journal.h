#pragma once
// The continuous journal: a CSV file to which every decoded acquisition is
// appended as one line "time,frame,v1,…,v8": the time in ISO 8601 to the
// millisecond, the frame "A" or "L", then the eight values as the tables
// store them with "." as the decimal point (analog: coefficient × raw, an
// empty field for a skipped channel; logic: 0 or 1). A header line names the
// columns and the analog units ("voie1 (V)" …); another one comes before the
// next analog line whenever a unit changes. Lines end in CR LF.
//
// Nothing written is lost to a crash: each line reaches the file in one write
// as soon as it is made, and the file is flushed to the disk at most once a
// second, so a power cut loses at most the last second (more only while the
// disk itself takes longer: the flush runs on a thread of its own, so a slow
// disk never holds up the acquisitions). A reader passes over
// a half line at the end (and any damaged line elsewhere).

#include "acquisition/acquired.h"
#include "acquisition/tables.h"

#include "files/disk_flusher.h"
#include <QByteArray>
#include <QByteArrayView>

#include <QElapsedTimer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace files {

using Units = std::array<QString, 8>;

// "horodatage,trame,voie1 (V),…,voie8 (V)" and CR LF; a unit holding a
// comma or a quote is quoted as CSV wants.
QByteArray journalHeader(const Units &units);
// One acquisition as its journal line, CR LF included.
QByteArray journalLine(const acquisition::Acquired &a);
// The units a header line names; nothing when the line is no header or
// names them in another shape.
std::optional<Units> journalHeaderUnits(QByteArrayView line);
bool isJournalHeader(QByteArrayView line);

class JournalWriter {
public:
    // The clock of the once-a-second flush; by default the process's own.
    explicit JournalWriter(std::function<qint64()> monotonicMs = {});
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // Opens the journal at path for appending, creating it when needed. A new
    // or empty file starts with a header naming these units; an existing
    // journal goes on without a second header (a line cut by a crash is
    // closed and marked so that readers pass over it). A file that is not a
    // plain file, or whose first line is no journal header, is refused.
    // error receives a French sentence.
    bool open(const QString &path, const Units &units, QString *error);
    // One line in one write (after a header when the units changed).
    bool append(const acquisition::Acquired &a, QString *error);
    // Milliseconds until the next flush to the disk is due; -1 when all that
    // was written is on the disk.
    qint64 msUntilSync() const;
    // Flushes to the disk when lines wait and the last flush is a second old.
    bool syncIfDue(QString *error);
    void close();  // flushed to the disk, then closed

    // Whether the path still leads to the open file: the lines written go
    // nowhere once the file was deleted, its folder removed, its file system
    // taken away, or another file put in its place.
    enum class Place {
        Same,     // the path leads to the open file
        Renamed,  // renamed within its folder: followed, path() is the new name
        Moved,    // still linked, but in another folder (movedTo()): not followed
        Lost,     // no name leads to the open file any more
    };
    Place checkPlace();
    // Acquisition lines appended since the last check that found the file
    // where it should be (all of them before the first check).
    qint64 linesSinceCheck() const { return lines_ - lines_checked_; }
    QString movedTo() const { return moved_to_; }

    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    qint64 lines() const { return lines_; }  // acquisition lines in the file
    qint64 size() const { return size_; }

private:
    bool write(const QByteArray &bytes, const QString &what, QString *error);
    bool sync(QString *error);
    qint64 now() const;

    int fd_ = -1;
    QString path_;
    qint64 size_ = 0;
    qint64 lines_ = 0;
    qint64 lines_checked_ = 0;
    QString moved_to_;
    std::optional<Units> units_;  // of the last header in the file
    qint64 last_sync_ = 0;
    bool pending_ = false;
    std::function<qint64()> clock_;
    QElapsedTimer elapsed_;
    std::unique_ptr<DiskFlusher> flusher_ = std::make_unique<DiskFlusher>();
};

// The end of a journal as "Ouvrir un journal…" loads it.
struct JournalEntry {
    QDateTime time;
    std::array<std::optional<double>, 8> values;  // nothing: a skipped channel
};

struct JournalTail {
    bool opened = false;
    QString error;                            // French, when the journal could not be read
    std::vector<JournalEntry> analog, logic;  // the last ones of each frame, oldest first
    qint64 damaged = 0;                       // damaged lines passed over on the way
    bool halfLine = false;                    // the file ends in the middle of a line
    bool cancelled = false;
};

// Called now and then with the bytes read so far and the size; false stops.
using JournalProgress = std::function<bool(qint64 done, qint64 total)>;

// The last `keep` acquisitions of each frame, read from the end of the file
// backwards: only as much of it is read as needed.
JournalTail readJournalTail(const QString &path, int keep, const JournalProgress &progress = {});

// Slots 0, 1 … of the tables take the entries, oldest first, with their
// times: analog values as memorisation stores them (two decimals with the
// regional separator; a skipped channel is left never written), logic inputs
// as "0" or "1". Slots beyond the entries are emptied, values and times, in
// both frames; the indexes and nbre_acqui stay.
void loadJournalTail(const JournalTail &tail, Tables &t);

// Reads length bytes at offset, however many reads it takes; false (errno
// set) when they cannot all be read.
bool readAt(int fd, char *to, qint64 length, qint64 offset);

}  // namespace files
