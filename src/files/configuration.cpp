#include "files/configuration.h"

#include "files/encoding.h"
#include "files/profile.h"
#include "text/numbers.h"

#include <QDir>
#include <QFileInfo>

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
    // Only the head of a file beyond the read limit is known: rewriting it
    // would throw the rest away, so such a file is left as it stands.
    if (QFileInfo(path).size() > Profile::kMaxBytes) {
        if (error)
            *error = QStringLiteral("« %1 » dépasse 1 Mo : ce n'est pas un fichier de réglages du panneau. Il est "
                                    "laissé tel quel et la configuration n'est pas enregistrée.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    Profile p = Profile::read(path);
    forEachSetting(c, [&](const QString &name, int, const QString &value) { p.setValue(name, kKey, value); });
    return p.write(path, error);
}

Configuration readConfiguration(const QString &path)
{
    const Profile p = Profile::read(path);
    Configuration c;
    forEachSetting(
        c, [&](const QString &name, int limit, QString &value) { value = leftChars(p.value(name, kKey), limit); });
    return c;
}

std::optional<int> wholeSetting(const QString &text, int lo, int hi)
{
    const auto v = text::toInt16(text::leadingNumber(text));
    if (!v || *v < lo || *v > hi) return std::nullopt;
    return int(*v);
}

QString coefficientSetting(const QString &text) { return text::plainNumber(text::leadingNumberAnyPoint(text)); }

}  // namespace files
