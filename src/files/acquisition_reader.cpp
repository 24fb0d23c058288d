#include "files/acquisition_reader.h"

#include "files/error_text.h"
#include "files/readable_file.h"
#include "text/numbers.h"

#include <QDir>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace files {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// A field read by the leading-number rule, "." or "," as its decimal point
// (so a file written under either regional setting reads back the same); a
// number beyond the range of a double is no number and reads as 0.
double fieldValue(const text::NumberReader &reader)
{
    const double v = reader.result().value_or(0.0);
    return std::isfinite(v) ? v : 0.0;
}

// Bytes are fed as they come. Only ASCII characters take part in a number,
// and no byte of a multi-byte character is ASCII, so whatever the file's
// encoding the bytes read like the decoded text.
char16_t character(char c) { return char16_t(static_cast<unsigned char>(c)); }

// Line ends shared by both files: CR LF, LF, or a lone CR.
struct LineEnds {
    bool afterCr = false;  // the last byte was a CR (a LF next is no new line)
    bool inLine = false;   // bytes of an unfinished line were seen

    // True when c is a line-end byte; lineEnd tells whether it ends a line
    // (the LF of a CR LF does not).
    bool endsLine(char c, bool &lineEnd)
    {
        if (c != '\n' && c != '\r') {
            afterCr = false;
            inLine = true;
            return false;
        }
        lineEnd = !(c == '\n' && afterCr);
        afterCr = c == '\r';
        inLine = false;
        return true;
    }

    // Past the tables only the lines themselves matter: they are counted,
    // and colon tells whether the line being read holds a ":" (checkColon).
    // Stops at the end of the bytes, or (stopAtLineWithoutColon) just after
    // the end of a line without one. Returns where it stopped.
    qint64 skim(const char *p, qint64 n, qint64 &lines, bool checkColon, bool &colon, bool &stopped)
    {
        bool cr = afterCr, in = inLine, col = colon;
        qint64 count = lines;
        qint64 i = 0;
        for (; i < n; ++i) {
            const char c = p[i];
            if (c != '\n' && c != '\r') {
                cr = false;
                in = true;
                col = col || c == ':';
                continue;
            }
            const bool end = !(c == '\n' && cr);
            cr = c == '\r';
            in = false;
            if (!end) continue;
            if (checkColon && !col) {
                stopped = true;
                break;
            }
            ++count;
            col = false;
        }
        afterCr = cr;
        inLine = in;
        colon = col;
        lines = count;
        return i;
    }
};

// The analog file: eight fields a line between colons; the reading stops at
// the first line without any colon. Lines beyond the tables are only looked
// at for their colon.
class AnalogParser {
public:
    explicit AnalogParser(AcquisitionRead &out) : out_(out) {}

    bool feed(const char *p, qint64 n)  // false once stopped
    {
        qint64 i = 0;
        for (; i < n && out_.analogLines < Tables::kSlots; ++i) {
            const char c = p[i];
            bool lineEnd = false;
            if (ends_.endsLine(c, lineEnd)) {
                if (lineEnd && !endLine()) return false;
                continue;
            }
            if (c == ':') {
                colon_ = true;
                if (field_ < 7) {
                    values_[size_t(field_++)] = fieldValue(reader_);
                    reader_ = text::NumberReader(true);
                    continue;
                }
            }
            reader_.take(character(c));
        }
        bool stopped = false;
        ends_.skim(p + i, n - i, out_.analogLines, true, colon_, stopped);
        return !stopped;
    }
    // The last line, when the file does not end with a line end.
    bool finish() { return !ends_.inLine || endLine(); }

private:
    bool endLine()
    {
        if (!colon_) return false;
        if (out_.analogLines < Tables::kSlots) {
            values_[size_t(field_)] = fieldValue(reader_);
            out_.analog.push_back(values_);
        }
        ++out_.analogLines;
        colon_ = false;
        field_ = 0;
        values_ = {};
        reader_ = text::NumberReader(true);
        return true;
    }

    AcquisitionRead &out_;
    LineEnds ends_;
    bool colon_ = false;
    int field_ = 0;
    std::array<double, 8> values_{};
    text::NumberReader reader_{true};
};

// The logic file: one element a line, the whole line read as a number.
class LogicParser {
public:
    explicit LogicParser(AcquisitionRead &out) : out_(out) {}

    bool feed(const char *p, qint64 n)
    {
        qint64 i = 0;
        for (; i < n && out_.logicLines < Tables::kLogicEntries; ++i) {
            const char c = p[i];
            bool lineEnd = false;
            if (ends_.endsLine(c, lineEnd)) {
                if (lineEnd) endLine();
                continue;
            }
            reader_.take(character(c));
        }
        bool colon = false, stopped = false;
        ends_.skim(p + i, n - i, out_.logicLines, false, colon, stopped);
        return true;
    }
    bool finish()
    {
        if (ends_.inLine) endLine();
        return true;
    }

private:
    void endLine()
    {
        if (out_.logicLines < Tables::kLogicEntries) out_.logic.push_back(fieldValue(reader_));
        ++out_.logicLines;
        reader_ = text::NumberReader(true);
    }

    AcquisitionRead &out_;
    LineEnds ends_;
    text::NumberReader reader_{true};
};

enum class Through { End, Stopped, Failed, Cancelled };

// The whole file through the parser, a piece at a time; a byte-order mark
// at its start is no part of the first line.
template <class Parser>
Through readThrough(ReadableFile &file, Parser &parser, ReadControl *control, std::vector<char> &buffer)
{
    bool first = true;
    for (;;) {
        if (control && control->cancel.load()) return Through::Cancelled;
        const qint64 n = file.read(buffer.data(), qint64(buffer.size()));
        if (n < 0) return Through::Failed;
        if (n == 0) break;
        const char *p = buffer.data();
        qint64 size = n;
        if (first && size >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) {
            p += 3;
            size -= 3;
        }
        first = false;
        if (control) {
            control->done += n;
            if (control->eachPiece) control->eachPiece();
        }
        if (!parser.feed(p, size)) return Through::Stopped;
    }
    return parser.finish() ? Through::End : Through::Stopped;
}

int counted(qint64 lines) { return int(std::min<qint64>(lines, INT_MAX)); }

}  // namespace

AcquisitionRead readAcquisitionFiles(const QString &path, ReadControl *control)
{
    AcquisitionRead out;
    ReadableFile analog(path);
    if (!analog.isOpen()) {
        out.message = failureSentence(QStringLiteral("ouvrir"), path, analog.reason());
        return out;
    }
    out.opened = true;
    const QString logicPath = logicFileName(path);
    ReadableFile logic(logicPath);
    if (control) control->total = analog.size() + (logic.isOpen() ? logic.size() : 0);
    std::vector<char> buffer(static_cast<size_t>(kPieceBytes));

    const auto cancelled = [&] {
        out = AcquisitionRead();
        out.opened = out.cancelled = true;
        out.message = QStringLiteral("Lecture de « %1 » annulée : tableaux inchangés").arg(shown(path));
        return out;
    };

    AnalogParser analogParser(out);
    switch (readThrough(analog, analogParser, control, buffer)) {
    case Through::Cancelled:
        return cancelled();
    case Through::Failed:
        out.message = QStringLiteral("Lecture de « %1 » interrompue à la ligne %2 : %3")
                          .arg(shown(path))
                          .arg(out.analogLines + 1)
                          .arg(analog.reason());
        return out;
    case Through::Stopped:
        out.message = QStringLiteral("Lecture arrêtée à la ligne %1 de « %2 » : ligne sans « : »")
                          .arg(out.analogLines + 1)
                          .arg(shown(path));
        return out;
    case Through::End:
        break;
    }
    out.reachedEnd = true;

    if (!logic.isOpen()) {
        out.message =
            logic.isAbsent()
                ? QStringLiteral("Tableaux analogiques lus ; fichier logique « %1 » absent").arg(shown(logicPath))
                : QStringLiteral("Tableaux analogiques lus ; fichier logique « %1 » illisible : %2")
                      .arg(shown(logicPath), logic.reason());
        return out;
    }
    LogicParser logicParser(out);
    const Through through = readThrough(logic, logicParser, control, buffer);
    if (through == Through::Cancelled) return cancelled();
    out.logicRead = true;
    if (through == Through::Failed)
        out.message = QStringLiteral("Tableaux analogiques lus ; lecture de « %1 » interrompue à la ligne %2 : %3")
                          .arg(shown(logicPath))
                          .arg(out.logicLines + 1)
                          .arg(logic.reason());
    return out;
}

OpenOutcome applyAcquisitionRead(const AcquisitionRead &read, Tables &t)
{
    OpenOutcome out;
    out.message = read.message;
    if (read.cancelled) return out;
    out.opened = read.opened;
    out.reachedEnd = read.reachedEnd;
    out.logicRead = read.logicRead;
    out.analogLines = counted(read.analogLines);
    out.logicLines = counted(read.logicLines);
    for (size_t n = 0; n < read.analog.size() && n < size_t(Tables::kSlots); ++n)
        for (int k = 1; k <= 8; ++k) t.tab_ana(k, int(n)) = Element::number(read.analog[n][size_t(k - 1)]);
    if (read.logicRead)
        for (size_t j = 0; j < read.logic.size() && j < size_t(Tables::kLogicEntries); ++j)
            t.tab_log[j] = Element::number(read.logic[j]);
    return out;
}

OpenOutcome openAcquisitions(const QString &path, Tables &t)
{
    return applyAcquisitionRead(readAcquisitionFiles(path), t);
}

}  // namespace files
