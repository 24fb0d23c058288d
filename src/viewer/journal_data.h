#pragma once
// A whole continuous journal held in memory for browsing: the times in
// milliseconds since the epoch, the analog values as float32 (not a number
// for a skipped channel) and the logic inputs as one byte a line (bit k:
// input k + 1). A week of one line per frame a second stays near 30 MB.
//
// The lines are read in pieces, as they come from the disk or as the
// journal grows: a line that has not yet ended waits for the next piece.

#include "files/journal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace viewer {

constexpr int kChannels = 8;

// The units of a header, in force from analog line `from` on.
struct UnitChange {
    qint64 from = 0;
    qint64 time = 0;  // of that line; the first header's is the first line's
    files::Units units;
};

struct JournalData {
    std::vector<qint64> analogTime;
    std::array<std::vector<float>, kChannels> analog;
    std::vector<qint64> logicTime;
    std::vector<std::uint8_t> logic;
    std::vector<UnitChange> units;  // oldest first
    qint64 damaged = 0;             // lines passed over: cut, garbled, unknown
    qint64 backwards = 0;           // lines older than the one before them, passed over

    qint64 analogCount() const { return qint64(analogTime.size()); }
    qint64 logicCount() const { return qint64(logicTime.size()); }
    bool empty() const { return analogTime.empty() && logicTime.empty(); }
    // The first and one past the last millisecond the journal covers.
    qint64 firstTime() const;
    qint64 endTime() const;
    // The units in force at analog line i (empty units before any header).
    const files::Units &unitsAt(qint64 i) const;
};

// Milliseconds since the epoch of a journal time ("2026-12-07T14:32:07.412",
// optionally with "Z" or an offset "+01:00"); nothing when it is none. The
// local time of day is turned into absolute time once per hour of the
// journal: the rest is arithmetic.
class TimeReader {
public:
    std::optional<qint64> read(QByteArrayView field);

private:
    QByteArray key_;  // the hour and the zone of the cached offset
    qint64 offset_ = 0;
};

// Takes the bytes of a journal in pieces of any size.
class JournalParser {
public:
    explicit JournalParser(JournalData &into) : data_(into) {}
    void feed(QByteArrayView bytes);
    // Bytes of the line not yet ended.
    qsizetype pending() const { return pending_.size(); }
    // Lines taken (whole or damaged), headers included.
    qint64 lines() const { return lines_; }

private:
    void line(QByteArrayView l);
    bool acquisition(QByteArrayView l);

    JournalData &data_;
    QByteArray pending_;
    bool tooLong_ = false;
    bool first_ = true;
    qint64 lines_ = 0;
    TimeReader times_;
};

// The time of one journal line ("" or a header: nothing), for scans that need
// no values.
std::optional<qint64> lineTime(QByteArrayView line, TimeReader &times);

}  // namespace viewer
