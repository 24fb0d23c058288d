#pragma once
// Opening a recording in two steps: the files are read into values of their
// own (on any thread, in bounded memory, whatever their size or line
// lengths), then the values are put into the tables in one go on the
// window's thread, so the tables are never seen half changed.

#include "acquisition/tables.h"
#include "files/acquisition_file.h"

#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <vector>

namespace files {

// Shared between the thread that reads and the one that waits.
struct ReadControl {
    std::atomic<qint64> done{0};   // bytes read so far, both files
    std::atomic<qint64> total{0};  // bytes of both files, once known
    std::atomic<bool> cancel{false};
    // Called by the reading thread after each piece (tests slow reads down).
    std::function<void()> eachPiece;
};

struct AcquisitionRead {
    bool opened = false;      // the analog file could be opened
    bool reachedEnd = false;  // read to its end (no line without ":")
    bool logicRead = false;   // the logic file was there and read
    bool cancelled = false;   // given up on request: nothing is to change
    qint64 analogLines = 0, logicLines = 0;
    std::vector<std::array<double, 8>> analog;  // slots 0, 1 … of the file (1001 at most)
    std::vector<double> logic;                  // entries 0, 1 … (8008 at most)
    QString message;                            // French, when something went wrong
};

// The size of the pieces the files are read in.
constexpr qint64 kPieceBytes = 256 * 1024;

// Reads both files (the logic one only when the analog one was read to its
// end). Lines end at CR LF, LF or a lone CR; a field that is no number, or a
// number beyond the range of a double, reads as 0.
AcquisitionRead readAcquisitionFiles(const QString &path, ReadControl *control = nullptr);

// Puts what was read into the tables (nothing when it was cancelled).
OpenOutcome applyAcquisitionRead(const AcquisitionRead &read, Tables &t);

}  // namespace files
