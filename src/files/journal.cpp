#include "files/journal.h"

#include "files/error_text.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

constexpr char kHeaderStart[] = "horodatage,trame";
constexpr qint64 kSyncEveryMs = 1000;
constexpr qint64 kScanChunk = 1 << 20;
constexpr qsizetype kMaxKeptLine = 64 * 1024;  // longer lines are no header of ours
// Closes a line a crash cut short: with this field added it can no longer
// pass for a whole line.
constexpr char kCutMark[] = ",ligne interrompue\r\n";

QByteArray csvField(const QString &text)
{
    QByteArray f = text.toUtf8();
    if (f.contains(',') || f.contains('"') || f.contains('\r') || f.contains('\n'))
        f = '"' + f.replace("\"", "\"\"") + '"';
    return f;
}

// The fields of one CSV line, quotes undone.
QList<QByteArray> csvFields(QByteArrayView line)
{
    QList<QByteArray> fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(QByteArray());
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

QByteArrayView withoutMark(QByteArrayView line)
{
    if (line.startsWith("\xEF\xBB\xBF")) line = line.sliced(3);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

void takeBack(int fd, qint64 size)
{
    while (::ftruncate(fd, off_t(size)) != 0 && errno == EINTR) {}
}

struct Scan {
    bool journal = false;        // the first line is a journal header
    qint64 lines = 0;            // acquisition lines
    std::optional<Units> units;  // of the last header
    bool endsWhole = true;       // the last byte ends a line
    int err = 0;
};

// One pass over an existing journal: is it one, how many lines it holds, the
// units of its last header, and whether a crash cut its last line.
Scan scanJournal(int fd, qint64 size)
{
    Scan s;
    QByteArray line;  // the line being gathered, at most kMaxKeptLine bytes of it
    bool first = true;
    auto finish = [&](QByteArrayView l) {
        l = withoutMark(l);
        if (first) {
            s.journal = isJournalHeader(l);
            first = false;
        }
        if (isJournalHeader(l))
            s.units = journalHeaderUnits(l);
        else if (!l.isEmpty())
            ++s.lines;
    };
    QByteArray chunk(qsizetype(std::min(size, kScanChunk)), Qt::Uninitialized);
    char last = '\n';
    for (qint64 at = 0; at < size;) {
        const qint64 n = std::min(size - at, kScanChunk);
        if (!readAt(fd, chunk.data(), n, at)) {
            s.err = errno;
            return s;
        }
        const QByteArrayView view(chunk.constData(), n);
        qsizetype from = 0;
        for (qsizetype nl; (nl = view.indexOf('\n', from)) >= 0; from = nl + 1) {
            if (line.isEmpty()) {
                finish(view.sliced(from, nl - from));
            } else {
                line += view.sliced(from, std::min(nl - from, kMaxKeptLine));
                finish(line);
                line.clear();
            }
            if (!first && !s.journal) return s;
        }
        if (from < n && line.size() < kMaxKeptLine)
            line += view.sliced(from, std::min<qsizetype>(n - from, kMaxKeptLine - line.size()));
        last = view.back();
        at += n;
    }
    s.endsWhole = last == '\n';
    // A header cut by a crash before its first line end still marks a journal.
    if (first) s.journal = isJournalHeader(line) || QByteArrayView(kHeaderStart).startsWith(withoutMark(line));
    return s;
}

}  // namespace

bool readAt(int fd, char *to, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t n = ::pread(fd, to, size_t(length), off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;  // the file is shorter than it said
        if (n <= 0) return false;
        to += n;
        length -= n;
        offset += n;
    }
    return true;
}

QByteArray journalHeader(const Units &units)
{
    QByteArray h = kHeaderStart;
    for (int k = 0; k < 8; ++k) h += ',' + csvField(QStringLiteral("voie%1 (%2)").arg(k + 1).arg(units[size_t(k)]));
    return h + "\r\n";
}

QByteArray journalLine(const acquisition::Acquired &a)
{
    QByteArray line;
    line.reserve(128);
    line += acquisition::isoTime(a.time).toLatin1();
    line += a.channel == Channel::Analog ? ",A" : ",L";
    for (const QString &v : a.values) {
        line += ',';
        line += v.toLatin1();
    }
    return line + "\r\n";
}

bool isJournalHeader(QByteArrayView line) { return withoutMark(line).startsWith(kHeaderStart); }

std::optional<Units> journalHeaderUnits(QByteArrayView line)
{
    if (!isJournalHeader(line)) return std::nullopt;
    const QList<QByteArray> f = csvFields(withoutMark(line));
    if (f.size() != 10) return std::nullopt;
    Units units;
    for (int k = 0; k < 8; ++k) {
        const QString name = QString::fromUtf8(f[k + 2]);
        const QString start = QStringLiteral("voie%1 (").arg(k + 1);
        if (!name.startsWith(start) || !name.endsWith(u')')) return std::nullopt;
        units[size_t(k)] = name.mid(start.size(), name.size() - start.size() - 1);
    }
    return units;
}

JournalWriter::JournalWriter(std::function<qint64()> monotonicMs) : clock_(std::move(monotonicMs)) { elapsed_.start(); }

JournalWriter::~JournalWriter() { close(); }

qint64 JournalWriter::now() const { return clock_ ? clock_() : elapsed_.elapsed(); }

bool JournalWriter::open(const QString &path, const Units &units, QString *error)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    auto refuse = [&](int err, const QString &reason = {}) {
        if (error)
            *error = failureSentence(QStringLiteral("ouvrir le journal"), path,
                                     reason.isEmpty() ? reasonFromErrno(err) : reason);
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return false;
    };
    // Not blocking: a pipe in the journal's place must not hang the panel.
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd_ < 0) return refuse(errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return refuse(errno);
    if (!S_ISREG(st.st_mode)) return refuse(0, QStringLiteral("ce n'est pas un fichier ordinaire"));
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    path_ = path;
    size_ = st.st_size;
    lines_ = 0;
    lines_checked_ = 0;
    moved_to_.clear();
    units_.reset();
    pending_ = false;
    flusher_->takeFailure();  // a failure of the journal before is no concern of this one
    last_sync_ = now() - kSyncEveryMs;
    if (size_ == 0) {
        if (!write(journalHeader(units), QStringLiteral("écrire dans le journal"), error)) return false;
        units_ = units;
        return sync(error);
    }
    const Scan s = scanJournal(fd_, size_);
    if (s.err) return refuse(s.err);
    if (!s.journal)
        return refuse(0, QStringLiteral("ce n'est pas un journal continu (sa première ligne n'est pas l'en-tête)"));
    lines_ = s.lines;
    lines_checked_ = lines_;
    units_ = s.units;
    if (!s.endsWhole && !write(kCutMark, QStringLiteral("écrire dans le journal"), error)) return false;
    return true;
}

bool JournalWriter::write(const QByteArray &bytes, const QString &what, QString *error)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            // Take back the piece that went: the file ends with whole lines.
            if (left < bytes.size()) takeBack(fd_, size_);
            if (error) *error = failureSentence(what, path_, reasonFromErrno(err));
            return false;
        }
        p += n;
        left -= n;
    }
    size_ += bytes.size();
    pending_ = true;
    return true;
}

bool JournalWriter::append(const acquisition::Acquired &a, QString *error)
{
    if (fd_ < 0) return false;
    QByteArray bytes;
    if (a.channel == Channel::Analog && units_ != a.units) bytes = journalHeader(a.units);
    bytes += journalLine(a);
    if (!write(bytes, QStringLiteral("écrire dans le journal"), error)) return false;
    if (a.channel == Channel::Analog) units_ = a.units;
    ++lines_;
    return msUntilSync() != 0 || sync(error);
}

qint64 JournalWriter::msUntilSync() const
{
    if (fd_ < 0 || !pending_) return -1;
    return std::max<qint64>(0, last_sync_ + kSyncEveryMs - now());
}

bool JournalWriter::syncIfDue(QString *error) { return msUntilSync() != 0 || sync(error); }

bool JournalWriter::sync(QString *error)
{
    if (fd_ < 0) return false;
    last_sync_ = now();
    pending_ = false;
    // A flush that failed since the last one is said now.
    int err = flusher_->takeFailure();
    if (err == 0 && !flusher_->request(fd_)) err = errno;
    if (err == 0) return true;
    if (error) *error = failureSentence(QStringLiteral("écrire sur le disque le journal"), path_, reasonFromErrno(err));
    return false;
}

void JournalWriter::close()
{
    if (fd_ < 0) return;
    if (pending_) flusher_->request(fd_);  // the flusher keeps the file until it is on the disk
    ::close(fd_);
    fd_ = -1;
    pending_ = false;
}

}  // namespace files
