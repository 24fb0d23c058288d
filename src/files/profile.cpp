#include "files/profile.h"

#include "files/save_file.h"

#include <QFile>

namespace files {

namespace {

// Blanks as the profile functions see them; ^Z, the old end-of-file mark, too.
bool isBlank(QChar c) { return c.isSpace() || c.unicode() == 0x1a; }

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.sliced(b, e - b);
}

// One pair of matching quotes around a value is not part of it.
QStringView unquoted(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.sliced(1, v.size() - 2);
    return v;
}

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// One line of a value: line breaks cannot be stored, they become blanks.
QString oneLine(QString v)
{
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    return v;
}

const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

// Letters folded as the comparison folds them, a character at a time.
size_t qHash(const Profile::Name &n, size_t seed) noexcept
{
    size_t h = seed;
    const QStringView t = n.text;
    for (qsizetype i = 0; i < t.size(); ++i) {
        char32_t c = t[i].unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z') c += u'a' - u'A';
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < t.size() && t[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), t[++i].unicode());
            c = QChar::toCaseFolded(c);
        }
        h = (h ^ c) * 1099511628211ULL;
    }
    // The table takes the low bits: mix the high ones into them.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

Profile Profile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return fromBytes(file.read(kMaxBytes));
}

Profile Profile::fromBytes(QByteArrayView bytes)
{
    MarkedText m = decodeMarked(bytes);
    return parse(m.text, m.form);
}

Profile Profile::parse(const QString &text, TextForm form)
{
    Profile p;
    p.source_ = text;
    p.form_ = form;
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    const qsizetype lineCount = text.count(u'\n') + 1;
    p.lines_.reserve(size_t(lineCount));
    p.sections_.reserve(size_t(lineCount / 2 + 1));
    p.first_.reserve(lineCount / 2 + 1);
    p.sections_.push_back(Section{});  // the lines before the first header
    p.sections_.back().last = -1;
    qsizetype pos = 0;
    while (pos < n) {
        Line l;
        l.begin = pos;
        const qsizetype nl = text.indexOf(u'\n', pos);
        l.end = nl < 0 ? n : nl;
        l.newline = nl >= 0;
        pos = nl < 0 ? n : nl + 1;

        qsizetype b = l.begin, e = l.end;
        while (b < e && isBlank(s[b])) ++b;
        while (e > b && isBlank(s[e - 1])) --e;
        const int index = int(p.lines_.size());
        if (b < e) {
            l.blank = false;
            if (s[b] == u'[') {
                // The name runs to the last "]" of the line.
                qsizetype close = e - 1;
                while (close > b && s[close] != u']') --close;
                if (close > b) {
                    l.header = true;
                    l.nameBegin = b + 1;
                    l.nameEnd = close;
                }
            }
            if (!l.header) {
                l.nameBegin = b;
                l.nameEnd = e;
                qsizetype eq = b;
                while (eq < e && s[eq] != u'=') ++eq;
                if (eq < e) {
                    qsizetype nameEnd = eq;
                    while (nameEnd > b && isBlank(s[nameEnd - 1])) --nameEnd;
                    l.nameEnd = nameEnd;
                    qsizetype v = eq + 1;
                    while (v < e && isBlank(s[v])) ++v;
                    l.valueBegin = v;
                    l.valueEnd = e;
                }
            }
        }
        p.lines_.push_back(l);
        if (l.header) {
            p.sections_.back().end = index;
            Section sec;
            sec.name = QStringView(p.source_).sliced(l.nameBegin, l.nameEnd - l.nameBegin);
            sec.first = sec.last = index;
            p.addSection(std::move(sec));
        } else if (!l.blank) {
            p.sections_.back().last = index;
        }
    }
    p.sections_.back().end = int(p.lines_.size());
    return p;
}

void Profile::addSection(Section s)
{
    // A section without a name is never found, as with the profile functions.
    // Index 0 is the part before the first header, never a named section:
    // a slot still at 0 is a name seen for the first time.
    if (!s.name.isEmpty()) {
        int &slot = first_[Name{s.name}];
        if (slot == 0) slot = int(sections_.size());
    }
    sections_.push_back(std::move(s));
}

QStringView Profile::span(qsizetype begin, qsizetype end) const
{
    return QStringView(source_).sliced(begin, end - begin);
}

int Profile::findSection(QStringView name) const
{
    const QStringView n = trimmed(name);
    if (n.isEmpty()) return -1;
    return first_.value(Name{n}, -1);
}

QString Profile::value(const QString &section, const QString &key) const
{
    return find(section, key).value_or(QString());
}

bool Profile::contains(const QString &section, const QString &key) const { return find(section, key).has_value(); }

std::optional<QString> Profile::find(const QString &section, const QString &key) const
{
    const int s = findSection(section);
    const QStringView k = trimmed(key);
    if (s < 0 || k.isEmpty()) return std::nullopt;
    const Section &sec = sections_[size_t(s)];
    if (!sec.added)
        for (int i = sec.first + 1; i < sec.end; ++i) {
            const Line &l = lines_[size_t(i)];
            if (l.blank || !sameName(span(l.nameBegin, l.nameEnd), k)) continue;
            if (l.written >= 0) return readBack(written_[l.written]);
            if (l.valueBegin < 0) return QString();  // a key without "=" has no value
            return unquoted(span(l.valueBegin, l.valueEnd)).toString();
        }
    for (const auto &[name, v] : sec.addedKeys)
        if (sameName(name, k)) return readBack(v);
    return std::nullopt;
}

void Profile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QStringView sname = trimmed(section), k = trimmed(key);
    if (sname.isEmpty() || k.isEmpty()) return;
    QString v = oneLine(value);
    const int s = findSection(sname);
    if (s < 0) {
        Section sec;
        sec.addedName = sname.toString();
        sec.name = sec.addedName;
        sec.added = true;
        sec.addedKeys.emplace_back(k.toString(), std::move(v));
        addSection(std::move(sec));
        return;
    }
    Section &sec = sections_[size_t(s)];
    if (!sec.added)
        for (int i = sec.first + 1; i < sec.end; ++i) {
            Line &l = lines_[size_t(i)];
            if (l.blank || !sameName(span(l.nameBegin, l.nameEnd), k)) continue;
            if (l.written >= 0)
                written_[l.written] = std::move(v);
            else if (l.valueBegin < 0 || span(l.valueBegin, l.valueEnd) != v) {
                l.written = int(written_.size());
                written_.append(std::move(v));
            }  // the same value: the line stays as it is
            return;
        }
    for (auto &[name, old] : sec.addedKeys)
        if (sameName(name, k)) {
            old = std::move(v);
            return;
        }
    sec.addedKeys.emplace_back(k.toString(), std::move(v));
}

QString Profile::writtenLine(const Line &l) const
{
    // The key as it stands, then the new value; a carriage return stays.
    QString out = span(l.begin, l.nameEnd).toString() + u'=' + written_[l.written];
    if (l.end > l.begin && source_[l.end - 1] == u'\r') out += u'\r';
    return out;
}

QString Profile::text() const
{
    QString out;
    out.reserve(source_.size() + 64 * qsizetype(written_.size()));
    // The file's text is copied in runs, up to each line written over and
    // each place where keys are added.
    qsizetype copied = 0;
    auto copyTo = [&](qsizetype to) {
        out += span(copied, to);
        copied = to;
    };
    auto addKeys = [&out](const Section &sec) {
        for (const auto &[name, v] : sec.addedKeys) out += name + u'=' + v + kLineEnd;
    };
    for (const Section &sec : sections_) {
        if (sec.added) continue;
        for (int i = sec.first; i < sec.end; ++i) {
            const Line &l = lines_[size_t(i)];
            if (l.written >= 0) {
                copyTo(l.begin);
                out += writtenLine(l);
                copied = l.end;  // its "\n" goes with the next run
            }
            if (i == sec.last && !sec.addedKeys.empty()) {
                copyTo(l.newline ? l.end + 1 : l.end);
                if (!l.newline) out += kLineEnd;
                addKeys(sec);
            }
        }
    }
    copyTo(source_.size());
    for (const Section &sec : sections_) {
        if (!sec.added) continue;
        if (!out.isEmpty() && !out.endsWith(u'\n')) out += kLineEnd;
        out += u'[' + sec.name.toString() + u']' + kLineEnd;
        addKeys(sec);
    }
    return out;
}

QByteArray Profile::bytes() const { return encodeMarked(text(), form_); }

bool Profile::write(const QString &path, QString *error) const { return writeWhole(path, bytes(), error); }

QStringList Profile::sections() const
{
    QStringList names;
    for (size_t i = 1; i < sections_.size(); ++i) names << sections_[i].name.toString();
    return names;
}

QString Profile::readBack(const QString &stored) { return unquoted(trimmed(oneLine(stored))).toString(); }

}  // namespace files
