#include "viewer/span_export.h"

#include "files/error_text.h"
#include "files/journal.h"
#include "viewer/journal_data.h"

#include <QFile>

namespace viewer {

std::optional<QByteArray> spanLines(const QString &path, const Span &span, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = files::failureSentence(QStringLiteral("lire le journal"), path,
                                            files::reasonFromErrno(f.error() == QFileDevice::OpenError ? EACCES : EIO));
        return std::nullopt;
    }
    // Every line goes through the browser's own reading, so that what is
    // exported is what was shown.
    JournalData seen;
    JournalParser parser(seen);
    TimeReader times;
    QByteArray out, header;
    bool headerDue = true;  // before the next line of the span
    auto take = [&](QByteArrayView line) {
        QByteArrayView bare = line;
        if (bare.startsWith("\xEF\xBB\xBF")) bare = bare.sliced(3);
        while (bare.endsWith('\n') || bare.endsWith('\r')) bare.chop(1);
        if (files::isJournalHeader(bare)) {
            if (!files::journalHeaderUnits(bare)) return;
            header = bare.toByteArray() + "\r\n";
            headerDue = true;
            return;
        }
        const qint64 whole = seen.analogCount() + seen.logicCount();
        parser.feed(line);
        if (seen.analogCount() + seen.logicCount() == whole) return;  // damaged, or out of order
        const std::optional<qint64> t = lineTime(line, times);
        if (!t || *t < span.t0 || *t >= span.t1) return;
        if (headerDue) {
            out += header.isEmpty() ? files::journalHeader({}) : header;
            headerDue = false;
        }
        out += line;
    };
    QByteArray rest;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(4 << 20);
        if (chunk.isEmpty()) break;
        rest += chunk;
        qsizetype from = 0;
        for (qsizetype nl; (nl = rest.indexOf('\n', from)) >= 0; from = nl + 1)
            take(QByteArrayView(rest).sliced(from, nl + 1 - from));
        rest.remove(0, from);
    }
    if (f.error() != QFileDevice::NoError) {
        if (error) *error = files::failureSentence(QStringLiteral("lire le journal"), path, f.errorString());
        return std::nullopt;
    }
    if (out.isEmpty()) out = header.isEmpty() ? files::journalHeader({}) : header;
    return out;
}

}  // namespace viewer
