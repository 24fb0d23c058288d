#pragma once
// The settings kept in "param.ini": one section a setting, one key "valeur".

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace files {

struct Configuration {  // the texts as the controls hold them
    QString com;        // port number in decimal
    std::array<QString, 8> heure1, heure2;
    QString ana_j, ana_h, log_j, log_h;  // day list positions in decimal (-1: none)
    std::array<QString, 8> u_ana, coeff;
    QString nbre_acqui;  // caption of the number of acquisitions
    // The sections (or their key) the file lacks, in the save order.
    QStringList missing;
    bool has(const QString &section) const { return !missing.contains(section); }
};

// Section names in the order they are written.
std::array<QString, 38> sectionNames();

// Writes the 38 settings into the file, keeping whatever else it holds. A
// file that is there but cannot be read (or is beyond the read limit) is left
// as it stands and nothing is written: error says why.
bool writeConfiguration(const QString &path, const Configuration &c, QString *error);
// The settings as stored, cut to what start-up takes: 24 characters for the
// port, times, days and hours, 4 for the units, 9 for the coefficients and
// the number of acquisitions. A missing or unreadable file gives empty texts.
Configuration readConfiguration(const QString &path);
// The settings for start-up: nothing when there is no file, or when it
// cannot be read (not allowed, a folder, a pipe, beyond 1 MB …): problem then
// receives a French sentence, and start-up keeps the controls' own values.
// Settings the file lacks are listed in missing, and problem says how many.
std::optional<Configuration> readStartupConfiguration(const QString &path, QString *problem);

// A whole-number setting by the leading-number rule and the 16-bit rounding;
// nothing when there is no such number or it lies outside lo … hi.
std::optional<int> wholeSetting(const QString &text, int lo, int hi);
// A coefficient as start-up shows it: "." or "," as its decimal point, then
// its ordinary form (2 gives "2", one half "0.5" or "0,5" by regional setting);
// no number, or one beyond the range of a double, gives "0".
QString coefficientSetting(const QString &text);

}  // namespace files
