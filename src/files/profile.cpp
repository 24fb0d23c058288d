#include "files/profile.h"

#include "files/encoding.h"
#include "files/save_file.h"

#include <QFile>
#include <QRegularExpression>

namespace files {

namespace {

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// One line of a value: line breaks cannot be stored, they become blanks.
QString oneLine(QString v)
{
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    return v;
}

}  // namespace

Profile Profile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return parse(decodeText(file.read(kMaxBytes)));
}

Profile Profile::parse(const QString &text)
{
    Profile p;
    Section *current = nullptr;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype end = line.indexOf(u']');
            if (end < 0) continue;
            const QString name = line.mid(1, end - 1).trimmed();
            current = p.find(name);
            if (!current) {
                p.sections_.append(Section{name, {}});
                current = &p.sections_.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        bool known = false;
        for (const Entry &e : current->entries) known = known || sameName(e.key, key);
        if (!known) current->entries.append(Entry{key, line.mid(eq + 1).trimmed()});  // the first one counts
    }
    return p;
}

Profile::Section *Profile::find(const QString &name)
{
    for (Section &s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const Profile::Section *Profile::find(const QString &name) const
{
    for (const Section &s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

QString Profile::value(const QString &section, const QString &key) const
{
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (sameName(e.key, key)) return e.value;
    return {};
}

void Profile::setValue(const QString &section, const QString &key, const QString &value)
{
    Section *s = find(section);
    if (!s) {
        sections_.append(Section{section, {}});
        s = &sections_.last();
    }
    for (Entry &e : s->entries)
        if (sameName(e.key, key)) {
            e.value = oneLine(value);
            return;
        }
    s->entries.append(Entry{key, oneLine(value)});
}

QString Profile::text() const
{
    QString out;
    for (const Section &s : sections_) {
        out += u'[' + s.name + QStringLiteral("]\r\n");
        for (const Entry &e : s.entries) out += e.key + u'=' + e.value + QStringLiteral("\r\n");
    }
    return out;
}

bool Profile::write(const QString &path, QString *error) const { return writeWhole(path, text().toUtf8(), error); }

QStringList Profile::sections() const
{
    QStringList names;
    for (const Section &s : sections_) names << s.name;
    return names;
}

}  // namespace files
