// Any "param.ini": read as a profile and as the panel's settings. What the
// profile writes reads back as the same profile; values set on it read back;
// the settings read, saved and read again stay what they were.
#include "files/configuration.h"
#include "files/encoding.h"
#include "files/profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using files::Configuration;
using files::Profile;

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(bytes);
}

// Same sections in the same order and the same text once written.
void checkSame(const Profile &a, const Profile &b)
{
    if (a.sections() != b.sections() || a.text() != b.text()) std::abort();
}

// Whether a name or value can go through the file unchanged: one line, no
// blanks at its ends; a key may not hold "=" nor start like a section or a
// comment, a section name may not hold "]".
bool storable(const QString &s) { return !s.contains(u'\r') && !s.contains(u'\n') && s == s.trimmed(); }
bool storableKey(const QString &k)
{
    return storable(k) && !k.isEmpty() && !k.contains(u'=') && !k.startsWith(u'[') && !k.startsWith(u';');
}
bool storableSection(const QString &s) { return storable(s) && !s.contains(u']'); }

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("param.ini"));
    if (!dir.isValid()) std::abort();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    put(path, bytes);

    // Reading the file is parsing its text.
    Profile p = Profile::read(path);
    checkSame(p, Profile::parse(files::decodeText(bytes)));
    // The written form is a fixed point.
    checkSame(p, Profile::parse(p.text()));

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
    bool mine = storableSection(section) && storableKey(key) && storable(value);
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
    if (mine && back.value(section, key) != value) std::abort();

    // The settings saved and read again: the same texts, less any blanks the
    // cut left at their end (values are stored trimmed).
    if (!files::writeConfiguration(path, c, &error)) std::abort();
    Configuration d = files::readConfiguration(path);
    const auto df = fields(d);
    for (size_t i = 0; i < 38; ++i)
        if (*df[i] != cf[i]->trimmed()) std::abort();
    return 0;
}
