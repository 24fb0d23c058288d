#include "service/bench_lines.h"

#include <QStringList>

namespace service {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\f' || c == u'\v'; }

// A comment starts at ";" or "#" at the start of the value or after a blank.
qsizetype commentStart(QStringView raw, qsizetype from)
{
    for (qsizetype i = from; i < raw.size(); ++i)
        if ((raw[i] == u';' || raw[i] == u'#') && (i == from || isBlank(raw[i - 1]))) return i;
    return raw.size();
}

}  // namespace

BenchLines splitBenchText(const QString &text)
{
    BenchLines out;
    QString body = text;
    if (body.startsWith(QChar(0xFEFF))) body.remove(0, 1);
    if (body.contains(u"\r\n")) out.lineEnd = QStringLiteral("\r\n");
    out.finalNewline = body.isEmpty() || body.endsWith(u'\n');
    QStringList raws = body.split(u'\n');
    if (out.finalNewline && !raws.isEmpty()) raws.removeLast();
    QString section;
    int number = 0;
    for (QString raw : raws) {
        if (raw.endsWith(u'\r')) raw.chop(1);
        BenchLine l;
        l.number = ++number;
        l.raw = raw;
        qsizetype b = 0, e = raw.size();
        while (b < e && isBlank(raw[b])) ++b;
        while (e > b && isBlank(raw[e - 1])) --e;
        l.section = section;
        if (b == e || raw[b] == u';' || raw[b] == u'#') {
            l.kind = BenchLine::Blank;
        } else if (raw[b] == u'[') {
            const qsizetype close = raw.indexOf(u']', b);
            // Nothing but a comment may follow the "]".
            if (close < 0 ||
                !QStringView(raw).sliced(close + 1, commentStart(raw, close + 1) - close - 1).trimmed().isEmpty()) {
                l.kind = BenchLine::Malformed;
            } else {
                l.kind = BenchLine::Header;
                section = QStringView(raw).sliced(b + 1, close - b - 1).trimmed().toString().toLower();
                l.section = section;
            }
        } else {
            const qsizetype eq = raw.indexOf(u'=', b);
            if (eq < 0 || QStringView(raw).sliced(b, eq - b).trimmed().isEmpty()) {
                l.kind = BenchLine::Malformed;
            } else {
                l.kind = BenchLine::Pair;
                l.key = QStringView(raw).sliced(b, eq - b).trimmed().toString().toLower();
                qsizetype vb = eq + 1;
                while (vb < raw.size() && isBlank(raw[vb])) ++vb;
                qsizetype ve = commentStart(raw, vb);
                while (ve > vb && isBlank(raw[ve - 1])) --ve;
                if (ve == vb) vb = ve = eq + 1;  // an empty value is written right after "="
                l.valueBegin = vb;
                l.valueEnd = ve;
                l.value = raw.mid(vb, ve - vb);
            }
        }
        out.lines.push_back(std::move(l));
    }
    return out;
}

}  // namespace service
