// Reading the end of a continuous journal, from the last byte backwards, for
// "Ouvrir un journal…".
#include "files/error_text.h"
#include "files/journal.h"
#include "text/numbers.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr qsizetype kLongestLine = 64 * 1024;  // a longer line is damaged
// Stands for the rest of a line too long to keep: it makes the line unreadable.
constexpr char kTooLong[] = "\x01\n";

// The frame of a line, "A" or "L" after the first comma; 0 when neither.
char frameOf(QByteArrayView line)
{
    const qsizetype comma = line.indexOf(',');
    if (comma < 0 || comma + 2 >= line.size() || line[comma + 2] != ',') return 0;
    const char f = line[comma + 1];
    return f == 'A' || f == 'L' ? f : 0;
}

// A whole acquisition line: a time, the frame and eight values (analog:
// empty or a number with "." as its point; logic: 0 or 1).
bool readEntry(QByteArrayView line, char frame, JournalEntry &e)
{
    std::array<QByteArrayView, 10> f;
    qsizetype from = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        const qsizetype comma = line.indexOf(',', from);
        if ((comma < 0) != (i == f.size() - 1)) return false;  // ten fields exactly
        f[i] = line.sliced(from, (comma < 0 ? line.size() : comma) - from);
        from = comma + 1;
    }
    e.time = acquisition::fromIsoTime(QString::fromLatin1(f[0]));
    if (!e.time.isValid()) return false;
    for (size_t k = 0; k < 8; ++k) {
        const QByteArrayView v = f[k + 2];
        if (frame == 'L') {
            if (v != "0" && v != "1") return false;
            e.values[k] = v == "1" ? 1.0 : 0.0;
        } else if (v.isEmpty()) {
            e.values[k].reset();
        } else {
            const auto number = text::parseAnyPoint(QString::fromLatin1(v));
            if (!number || v.contains(' ')) return false;
            e.values[k] = number;
        }
    }
    return true;
}

class TailReader {
public:
    TailReader(JournalTail &tail, int keep) : tail_(tail), keep_(size_t(std::max(keep, 0))) {}
    bool enough() const { return tail_.analog.size() >= keep_ && tail_.logic.size() >= keep_; }

    // One line, newest first; its line end already taken off.
    void line(QByteArrayView l)
    {
        if (l.endsWith('\r')) l.chop(1);
        if (l.isEmpty() || isJournalHeader(l)) return;
        const char frame = frameOf(l);
        std::vector<JournalEntry> *into = frame == 'A' ? &tail_.analog : frame == 'L' ? &tail_.logic : nullptr;
        if (into && into->size() >= keep_) return;  // that frame has all it needs
        JournalEntry e;
        if (!into || !readEntry(l, frame, e)) {
            ++tail_.damaged;
            return;
        }
        into->push_back(std::move(e));
    }
    // The lines of bytes, each ending in a line end, newest first.
    void lines(QByteArrayView bytes)
    {
        qsizetype end = bytes.size();
        while (end > 0 && !enough()) {
            const qsizetype start = end >= 2 ? bytes.lastIndexOf('\n', end - 2) + 1 : 0;
            line(bytes.sliced(start, end - 1 - start));
            end = start;
        }
    }

private:
    JournalTail &tail_;
    size_t keep_;
};

}  // namespace

JournalTail readJournalTail(const QString &path, int keep, const JournalProgress &progress)
{
    JournalTail tail;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    auto fail = [&](int err, const QString &reason = {}) {
        tail.error =
            failureSentence(QStringLiteral("lire le journal"), path, reason.isEmpty() ? reasonFromErrno(err) : reason);
        if (fd >= 0) ::close(fd);
        return tail;
    };
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(0, QStringLiteral("ce n'est pas un fichier ordinaire"));
    const qint64 size = st.st_size;
    tail.opened = true;

    TailReader reader(tail, keep);
    // Bytes after the last line end read so far: the end of a line whose
    // start lies further back (ending with its line end), or the half line
    // that ends the file (without one).
    QByteArray pending;
    bool halfPending = false;
    qint64 pos = size;
    while (pos > 0 && !reader.enough()) {
        const qint64 n = std::min(kChunk, pos);
        pos -= n;
        QByteArray data(qsizetype(n), Qt::Uninitialized);
        if (!readAt(fd, data.data(), n, pos)) return fail(errno);
        if (pos + n == size && !data.endsWith('\n')) {
            tail.halfLine = true;
            halfPending = true;
        }
        data += pending;
        pending.clear();
        qsizetype end = data.size();
        if (halfPending) {
            // The half line is passed over once its start is found.
            end = data.lastIndexOf('\n') + 1;
            if (end == 0 && pos > 0) continue;
            halfPending = false;
        }
        qsizetype begin = 0;
        if (pos > 0) {
            const qsizetype first = data.indexOf('\n');
            if (first < 0 || first >= end) {
                pending = data.size() > kLongestLine ? QByteArray(kTooLong) : data;
                continue;
            }
            begin = first + 1;
            pending = begin > kLongestLine ? QByteArray(kTooLong) : data.first(begin);
        }
        reader.lines(QByteArrayView(data).sliced(begin, end - begin));
        if (progress && !progress(size - pos, size)) {
            tail.cancelled = true;
            break;
        }
    }
    ::close(fd);
    std::reverse(tail.analog.begin(), tail.analog.end());
    std::reverse(tail.logic.begin(), tail.logic.end());
    return tail;
}

void loadJournalTail(const JournalTail &tail, Tables &t)
{
    const size_t analog = std::min(tail.analog.size(), size_t(Tables::kSlots));
    for (size_t i = 0; i < analog; ++i) {
        const JournalEntry &e = tail.analog[i];
        for (int k = 1; k <= 8; ++k) {
            const auto &v = e.values[size_t(k - 1)];
            t.tab_ana(k, int(i)) = v ? Element::text(text::twoDecimals(*v)) : Element();
        }
        t.times.setAnalog(qint64(i), e.time);
    }
    const size_t logic = std::min(tail.logic.size(), size_t(Tables::kSlots));
    for (size_t i = 0; i < logic; ++i) {
        const JournalEntry &e = tail.logic[i];
        for (size_t k = 0; k < 8; ++k)
            t.tab_log[8 * i + k] =
                Element::text(e.values[k].value_or(0) != 0 ? QStringLiteral("1") : QStringLiteral("0"));
        t.times.setLogic(qint64(i), e.time);
    }
    // What the journal does not fill is emptied: nothing of the recording
    // there before may pass for a part of this one.
    for (auto &table : t.ana) std::fill(table.begin() + qsizetype(analog), table.end(), Element());
    std::fill(t.tab_log.begin() + qsizetype(8 * logic), t.tab_log.end(), Element());
    t.times.forgetAnalog(int(analog), Tables::kSlots - 1);
    t.times.forgetLogic(int(logic), Tables::kSlots - 1);
}

}  // namespace files
