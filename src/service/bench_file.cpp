#include "service/bench_file.h"

#include "files/encoding.h"
#include "files/readable_file.h"
#include "files/settings_location.h"
#include "link/port_map.h"
#include "link/protocol.h"
#include "service/bench_lines.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <algorithm>

namespace service {

namespace {

using Check = std::optional<QString>;
constexpr qsizetype kMaxBytes =
    1 << 20;  // a bench file is a few hundred bytes  // what is expected, when the value is wrong

std::optional<bool> flag(const QString &v)
{
    if (v == u"0") return false;
    if (v == u"1") return true;
    return std::nullopt;
}

std::optional<AcquisitionMode> modeOf(const QString &v)
{
    const QString m = v.toLower();
    if (m == u"manuel") return AcquisitionMode::Manual;
    if (m == u"cyclique") return AcquisitionMode::Cyclic;
    if (m == u"programme") return AcquisitionMode::Programmed;
    return std::nullopt;
}

const QString kFlagExpected = QStringLiteral("0 ou 1 attendu");

// Checks one key of a known section into the settings; a key nobody knows
// is left alone (a later version's, kept when the window saves).
Check take(BenchSettings &s, const QString &section, const QString &key, const QString &v)
{
    if (section == u"banc") {
        if (key == u"nom") {
            // No regular expression: their compiler writes code at run time,
            // which the service's MemoryDenyWriteExecute= forbids.
            const bool plain = !v.isEmpty() && std::all_of(v.begin(), v.end(), [](QChar c) {
                return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
                       c == u'_';
            });
            if (!plain) return QStringLiteral("un nom de lettres, chiffres, - et _ attendu");
            s.name = v;
        } else if (key == u"port") {
            if (board::portFromAnswer(v) == 0 && !v.startsWith(u'/'))
                return QStringLiteral("COM1 à COM4 ou le chemin d'un périphérique (/dev/…) attendu");
            s.port = board::portFromAnswer(v) ? v.toUpper() : v;
        } else if (key == u"parametres") {
            s.parameters = v;
        } else if (key == u"marche") {
            const auto f = flag(v);
            if (!f) return kFlagExpected;
            s.marche = *f;
        }
    } else if (section == u"relais" && key == u"auto") {
        const QStringList parts = v.split(u',');
        if (parts.size() != 8) return QStringLiteral("huit valeurs 0 ou 1 séparées par des virgules attendues");
        for (int i = 0; i < 8; ++i) {
            const auto f = flag(parts[i].trimmed());
            if (!f) return QStringLiteral("huit valeurs 0 ou 1 séparées par des virgules attendues");
            s.automatic[size_t(i)] = *f;
        }
    } else if (section == u"analogique" || section == u"logique") {
        FrameSettings &f = section == u"analogique" ? s.analog : s.logic;
        if (key == u"mode") {
            const auto m = modeOf(v);
            if (!m) return QStringLiteral("manuel, cyclique ou programme attendu");
            f.mode = *m;
        } else if (key == u"intervalle") {
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || std::find(kIntervals.begin(), kIntervals.end(), n) == kIntervals.end())
                return QStringLiteral("un intervalle en secondes parmi 3600, 1800, 600, 60, 30, 10, 2 attendu");
            f.interval = n;
        } else if (key == u"memorisation") {
            const auto m = flag(v);
            if (!m) return kFlagExpected;
            f.memorisation = *m;
        }
    } else if (section == u"journal" && key == u"fichier") {
        s.journal = v;
    }
    return std::nullopt;
}

bool knownSection(const QString &s)
{
    return s == u"banc" || s == u"relais" || s == u"analogique" || s == u"logique" || s == u"journal";
}

struct Parsed {
    BenchSettings settings;
    QHash<QString, int> lineOf;  // "section/key" → line number
};

Parsed parse(const QString &text, const QString &name, QStringList *errors)
{
    Parsed p;
    const auto fault = [&](int line, const QString &what) {
        if (errors) *errors << QStringLiteral("« %1 », ligne %2 : %3").arg(name).arg(line).arg(what);
    };
    for (const BenchLine &l : splitBenchText(text).lines) {
        if (l.kind == BenchLine::Malformed) {
            fault(l.number,
                  QStringLiteral("« %1 » n'est ni une section [nom] ni une ligne clé=valeur").arg(l.raw.trimmed()));
            continue;
        }
        if (l.kind != BenchLine::Pair || !knownSection(l.section)) continue;
        const QString where = l.section + u'/' + l.key;
        if (const int first = p.lineOf.value(where); first > 0) {
            fault(l.number, QStringLiteral("%1 est déjà donné ligne %2 ([%3])").arg(l.key).arg(first).arg(l.section));
            continue;
        }
        p.lineOf.insert(where, l.number);
        if (const Check wrong = take(p.settings, l.section, l.key, l.value))
            fault(l.number, QStringLiteral("%1=%2 : %3").arg(l.key, l.value, *wrong));
    }
    return p;
}

QString resolved(const QString &folder, const QString &name)
{
    return name.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}

}  // namespace

QString modeName(AcquisitionMode mode)
{
    switch (mode) {
    case AcquisitionMode::Cyclic:
        return QStringLiteral("cyclique");
    case AcquisitionMode::Programmed:
        return QStringLiteral("programme");
    case AcquisitionMode::Manual:
        break;
    }
    return QStringLiteral("manuel");
}

std::array<outputs::TimetableRow, 8> BenchFile::timetable() const
{
    std::array<outputs::TimetableRow, 8> rows;
    for (size_t i = 0; i < 8; ++i) rows[i] = {configuration.heure1[i], configuration.heure2[i], settings.automatic[i]};
    return rows;
}

QString journalFolder(const QString &benchFilePath)
{
    const QString state = qEnvironmentVariable("STATE_DIRECTORY").section(u':', 0, 0);
    return state.isEmpty() ? QFileInfo(benchFilePath).absolutePath() : state;
}

BenchSettings parseBenchText(const QString &text, const QString &name, QStringList *errors)
{
    return parse(text, name, errors).settings;
}

BenchFile readBenchFile(const QString &path)
{
    BenchFile f;
    f.path = path;
    const QString name = QDir::toNativeSeparators(path);
    files::ReadableFile file(path);
    if (!file.isOpen()) {
        f.errors << QStringLiteral("« %1 » ne peut être lu : %2").arg(name, file.reason());
        return f;
    }
    QByteArray bytes;
    char piece[4096];
    for (qint64 n; bytes.size() <= kMaxBytes && (n = file.read(piece, sizeof piece)) > 0;)
        bytes.append(piece, qsizetype(n));
    if (!file.reason().isEmpty()) {
        f.errors << QStringLiteral("« %1 » ne peut être lu : %2").arg(name, file.reason());
        return f;
    }
    if (bytes.size() > kMaxBytes) {
        f.errors << QStringLiteral("« %1 » dépasse 1 Mo : ce n'est pas un fichier de banc").arg(name);
        return f;
    }
    const Parsed p = parse(files::decodeText(bytes), name, &f.errors);
    f.settings = p.settings;
    if (f.settings.name.isEmpty()) f.settings.name = QFileInfo(path).completeBaseName();

    const QString folder = QFileInfo(path).absolutePath();
    f.parametersPath = resolved(folder, f.settings.parameters);
    if (!f.parametersPath.isEmpty()) {
        const files::ReadableFile parameters(f.parametersPath);
        if (parameters.isOpen())
            f.configuration = files::readConfiguration(f.parametersPath);
        else
            f.errors << QStringLiteral("« %1 », ligne %2 : parametres=%3 : « %4 » ne peut être lu (%5) ; un fichier "
                                       "param.ini lisible attendu")
                            .arg(name)
                            .arg(p.lineOf.value(QStringLiteral("banc/parametres")))
                            .arg(f.settings.parameters, QDir::toNativeSeparators(f.parametersPath),
                                 parameters.reason());
    }
    if (f.parametersPath.isEmpty() || !f.ok()) f.configuration = files::readConfiguration(QString());

    int number = board::portFromAnswer(f.settings.port);
    if (f.settings.port.isEmpty()) number = files::wholeSetting(f.configuration.com, 1, 4).value_or(1);
    if (number > 0) {
        const QSettings user(files::userSettingsFile(files::userConfigFolder()), QSettings::IniFormat);
        f.device = board::portDevice(number, board::readPortMap(user));
    } else {
        f.device = f.settings.port;
    }
    f.journalPath = resolved(journalFolder(path), f.settings.journal);
    return f;
}

}  // namespace service
