// Any "param.ini": read as a profile and as the panel's settings. What the
// profile writes reads back as the same profile, in the same encoding, with
// every line it did not write; values set on it read back; the settings
// read, saved and read again stay what they were.
#include "files/configuration.h"
#include "files/encoding.h"
#include "files/profile.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <vector>

using files::Configuration;
using files::Profile;

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(bytes);
}

// Same sections in the same order, the same text and encoding once written.
void checkSame(const Profile &a, const Profile &b)
{
    if (a.sections() != b.sections() || a.text() != b.text() || a.form() != b.form()) std::abort();
}

// Whether a name can go through the file unchanged: one line, no blanks at
// its ends; a key may not hold "=" nor start like a section or a comment, a
// section name may not hold "]".
bool storable(const QString &s)
{
    return !s.isEmpty() && !s.contains(u'\r') && !s.contains(u'\n') && s == s.trimmed() && !s.startsWith(u'\x1a') &&
           !s.endsWith(u'\x1a');
}
bool storableKey(const QString &k)
{
    return storable(k) && !k.contains(u'=') && !k.startsWith(u'[') && !k.startsWith(u';');
}
bool storableSection(const QString &s) { return storable(s) && !s.contains(u']'); }

// Every line of the text in order, without its line end.
QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    return lines;
}

std::array<QString *, 38> fields(Configuration &c)
{
    std::array<QString *, 38> f{};
    size_t i = 0;
    f[i++] = &c.com;
    for (auto &h : c.heure1) f[i++] = &h;
    for (auto &h : c.heure2) f[i++] = &h;
    f[i++] = &c.ana_j;
    f[i++] = &c.ana_h;
    f[i++] = &c.log_j;
    f[i++] = &c.log_h;
    for (auto &u : c.u_ana) f[i++] = &u;
    for (auto &k : c.coeff) f[i++] = &k;
    f[i++] = &c.nbre_acqui;
    return f;
}

// How many lines of `before` do not come, in order, in `after`, where
// `after` may hold lines of its own anywhere; counted up to limit + 1. For
// each number of misses, the earliest place in `after` reached so far.
qsizetype missedLines(const QStringList &before, const QStringList &after, int limit)
{
    QHash<QString, QList<qsizetype>> where;
    for (qsizetype j = 0; j < after.size(); ++j) where[after[j]].append(j);
    const qsizetype none = after.size() + 1;
    std::vector<qsizetype> reached(size_t(limit) + 2, none);
    reached[0] = 0;
    for (const QString &line : before) {
        const QList<qsizetype> &at = where[line];
        for (size_t m = reached.size() - 1; m < reached.size(); --m) {
            qsizetype best = none;
            if (reached[m] != none) {
                const auto it = std::lower_bound(at.begin(), at.end(), reached[m]);
                if (it != at.end()) best = *it + 1;
            }
            if (m > 0) best = std::min(best, reached[m - 1]);
            reached[m] = best;
        }
    }
    for (size_t m = 0; m < reached.size(); ++m)
        if (reached[m] != none) return qsizetype(m);
    return limit + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("param.ini"));
    if (!dir.isValid()) std::abort();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    put(path, bytes);

    // Reading the file is decoding and parsing its bytes; parsing its text
    // again changes nothing, nor does writing it unchanged.
    Profile p = Profile::read(path);
    checkSame(p, Profile::fromBytes(bytes));
    checkSame(p, Profile::parse(p.text(), p.form()));
    checkSame(p, Profile::fromBytes(p.bytes()));
    const QString before = p.text();

    // The settings, cut to what start-up takes.
    Configuration c = files::readConfiguration(path);
    const std::array<int, 38> limits{24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24,
                                     24, 24, 4,  4,  4,  4,  4,  4,  4,  4,  9,  9,  9,  9,  9,  9,  9,  9,  9};
    const auto names = files::sectionNames();
    const auto cf = fields(c);
    for (size_t i = 0; i < 38; ++i) {
        if (*cf[i] != files::leftChars(p.value(names[i], QStringLiteral("valeur")), limits[i])) std::abort();
        if (cf[i]->size() > 2 * limits[i]) std::abort();
    }

    // Values set on the profile read back from the file it writes.
    const QString section = QString::fromUtf8(bytes.left(12));
    const QString key = QString::fromUtf8(bytes.mid(12, 12));
    const QString value = QString::fromUtf8(bytes.mid(24, 24));
    bool mine = storableSection(section) && storableKey(key);
    if (mine) p.setValue(section, key, value);
    p.setValue(QStringLiteral("coeff1"), QStringLiteral("valeur"), QStringLiteral("0.5"));
    p.setValue(QStringLiteral("Nouvelle"), QStringLiteral("clé"), QStringLiteral("valeur é"));
    p.setValue(QStringLiteral("lignes"), QStringLiteral("valeur"), QStringLiteral("a\r\nb"));
    // Unless one of the three above replaced it.
    auto is = [](const QString &a, const char16_t *b) { return a.compare(QStringView(b), Qt::CaseInsensitive) == 0; };
    if ((is(section, u"coeff1") && is(key, u"valeur")) || (is(section, u"Nouvelle") && is(key, u"clé")) ||
        (is(section, u"lignes") && is(key, u"valeur")))
        mine = false;
    QString error;
    if (!p.write(path, &error)) std::abort();
    const Profile back = Profile::read(path);
    checkSame(p, back);
    if (back.value(QStringLiteral("COEFF1"), QStringLiteral("Valeur")) != u"0.5") std::abort();
    if (back.value(QStringLiteral("nouvelle"), QStringLiteral("CLÉ")) != u"valeur é") std::abort();
    if (back.value(QStringLiteral("lignes"), QStringLiteral("valeur")) != u"a  b") std::abort();
    if (mine && back.value(section, key) != Profile::readBack(value)) std::abort();
    // At most four lines were written over, and none was lost: the old ones
    // come in the same order in the new text, less at most four.
    if (missedLines(linesOf(before), linesOf(back.text()), 4) > 4) std::abort();

    // The settings saved and read again: the same texts, as far as a stored
    // value reads back (blanks at the ends and one pair of quotes go).
    if (!files::writeConfiguration(path, c, &error)) std::abort();
    Configuration d = files::readConfiguration(path);
    const auto df = fields(d);
    for (size_t i = 0; i < 38; ++i)
        if (*df[i] != files::leftChars(Profile::readBack(*cf[i]), limits[i])) std::abort();
    return 0;
}
