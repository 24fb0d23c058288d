#include "files/configuration.h"

#include "files/encoding.h"
#include "files/profile.h"
#include "files/readable_file.h"
#include "text/numbers.h"

#include <QDir>
#include <algorithm>
#include <cmath>

namespace files {

namespace {

const QString kKey = QStringLiteral("valeur");

// Every setting once, in the save order, with its read limit and its text.
template <typename C, typename F>
void forEachSetting(C &c, F &&f)
{
    f(QStringLiteral("com"), 24, c.com);
    for (int i = 0; i < 8; ++i) f(QStringLiteral("heure%1").arg(i), 24, c.heure1[size_t(i)]);
    for (int i = 0; i < 8; ++i) f(QStringLiteral("heure2%1").arg(i), 24, c.heure2[size_t(i)]);
    f(QStringLiteral("ana_j%1").arg(8), 24, c.ana_j);
    f(QStringLiteral("ana_h%1").arg(8), 24, c.ana_h);
    f(QStringLiteral("log_j%1").arg(8), 24, c.log_j);
    f(QStringLiteral("log_h%1").arg(8), 24, c.log_h);
    for (int k = 1; k <= 8; ++k) f(QStringLiteral("u_ana%1").arg(k), 4, c.u_ana[size_t(k - 1)]);
    for (int k = 1; k <= 8; ++k) f(QStringLiteral("coeff%1").arg(k), 9, c.coeff[size_t(k - 1)]);
    f(QStringLiteral("nbre_acqui"), 9, c.nbre_acqui);
}

// What stands under the name: nothing, a file that cannot be read, or the
// profile it holds. Only regular files are opened, so a named pipe cannot
// hold the start-up; a symbolic link is followed for reading.
struct Stored {
    bool absent = false;
    bool tooBig = false;  // beyond the read limit: not read at all
    qint64 size = 0;
    QString reason;  // French, when it is there but unreadable
    std::optional<Profile> profile;
};

Stored readStored(const QString &path)
{
    Stored out;
    ReadableFile file(path);
    if (!file.isOpen()) {
        out.absent = file.isAbsent();
        out.reason = file.reason();
        return out;
    }
    out.size = file.size();
    // Not a settings file: reading its head would give values it never meant.
    out.tooBig = out.size > Profile::kMaxBytes;
    if (out.tooBig) return out;
    QByteArray bytes(qsizetype(out.size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const qint64 n = file.read(bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            out.reason = file.reason();
            return out;
        }
        if (n == 0) break;
        got += qsizetype(n);
    }
    bytes.truncate(got);
    out.profile = Profile::fromBytes(bytes);
    return out;
}

Configuration settingsOf(const Profile &p)
{
    Configuration c;
    forEachSetting(c, [&](const QString &name, int limit, QString &value) {
        value = leftChars(p.value(name, kKey), limit);
        if (!p.contains(name, kKey)) c.missing << name;
    });
    return c;
}

}  // namespace

std::array<QString, 38> sectionNames()
{
    std::array<QString, 38> names;
    size_t i = 0;
    Configuration c;
    forEachSetting(c, [&](const QString &name, int, QString &) { names[i++] = name; });
    return names;
}

bool writeConfiguration(const QString &path, const Configuration &c, QString *error)
{
    Stored stored = readStored(path);
    // A file beyond the read limit is no settings file: rewriting it would
    // throw it away, so it is left as it stands.
    if (stored.tooBig) {
        if (error)
            *error = QStringLiteral("« %1 » dépasse 1 Mo : ce n'est pas un fichier de réglages du panneau. Il est "
                                    "laissé tel quel et la configuration n'est pas enregistrée.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    // A file that cannot be read would lose whatever else it holds.
    if (!stored.absent && !stored.profile) {
        if (error)
            *error = QStringLiteral("« %1 » ne peut être lu (%2) : il est laissé tel quel et la configuration "
                                    "n'est pas enregistrée.")
                         .arg(QDir::toNativeSeparators(path), stored.reason);
        return false;
    }
    Profile p = stored.profile.value_or(Profile());
    forEachSetting(c, [&](const QString &name, int, const QString &value) { p.setValue(name, kKey, value); });
    return p.write(path, error);
}

Configuration readConfiguration(const QString &path)
{
    return settingsOf(readStored(path).profile.value_or(Profile()));
}

std::optional<Configuration> readStartupConfiguration(const QString &path, QString *problem)
{
    const Stored stored = readStored(path);
    const QString name = QDir::toNativeSeparators(path);
    if (stored.tooBig) {
        if (problem)
            *problem = QStringLiteral("« %1 » dépasse 1 Mo : ce n'est pas un fichier de réglages, il n'est pas lu ; "
                                      "réglages de départ gardés")
                           .arg(name);
        return std::nullopt;
    }
    if (!stored.profile) {
        if (problem && !stored.absent)
            *problem =
                QStringLiteral("« %1 » ne peut être lu (%2) : réglages de départ gardés").arg(name, stored.reason);
        return std::nullopt;
    }
    Configuration c = settingsOf(*stored.profile);
    // The panel always writes every setting: one missing was taken out by
    // hand, and its control keeps its starting value.
    if (problem && c.missing.size() == 1)
        *problem = QStringLiteral("« %1 » : il manque le réglage %2 sur 38 ; il garde sa valeur de départ")
                       .arg(name, c.missing.first());
    else if (problem && !c.missing.isEmpty())
        *problem = QStringLiteral("« %1 » : il manque %2 réglages sur 38 ; ils gardent leur valeur de départ")
                       .arg(name)
                       .arg(c.missing.size());
    return c;
}

std::optional<int> wholeSetting(const QString &text, int lo, int hi)
{
    const auto v = text::toInt16(text::leadingNumber(text));
    if (!v || *v < lo || *v > hi) return std::nullopt;
    return int(*v);
}

QString coefficientSetting(const QString &text)
{
    // A number beyond the range of a double is no number: "0", as for "abc".
    const double v = text::leadingNumberAnyPoint(text);
    return text::plainNumber(std::isfinite(v) ? v : 0.0);
}

}  // namespace files
