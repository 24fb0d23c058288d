#pragma once
// The bench file: one UTF-8 INI file holding what a bench needs to run
// without its window (the port, the param.ini whose settings apply, the
// master switch, the timetable's "Auto" boxes, each frame's acquisition mode,
// the journal). Read into typed values and checked key by key: a key the
// file lacks takes the window's start-up value, a wrong one is an error that
// names the file, the line and what is expected, in French. Written back
// over an existing file, every line it does not own stays as it was.
//
//   [banc]       nom= port= parametres= marche=
//   [relais]     auto=1,0,0,0,0,0,0,0
//   [analogique] mode= intervalle= memorisation=
//   [logique]    mode= intervalle= memorisation=
//   [journal]    fichier=
//
// Everything after " ;" or " #" on a line is a comment.

#include "files/configuration.h"
#include "outputs/outputs.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace service {

enum class AcquisitionMode { Manual, Cyclic, Programmed };

struct FrameSettings {
    AcquisitionMode mode = AcquisitionMode::Manual;
    int interval = 3600;  // seconds, the first entry of the interval list
    bool memorisation = false;
    bool operator==(const FrameSettings &) const = default;
};

// The file's own values, as the window's settings give them.
struct BenchSettings {
    QString name;        // nom: letters, digits, - and _
    QString port;        // "COM1" … "COM4" or a device path; empty: param.ini's port, else COM1
    QString parameters;  // parametres: a param.ini, relative to the bench file; empty: none
    bool marche = false;
    std::array<bool, 8> automatic{};  // [relais] auto, outputs 1 … 8
    FrameSettings analog, logic;
    QString journal;  // [journal] fichier; empty: none
    bool operator==(const BenchSettings &) const = default;
};

// The seven intervals of the lists, in seconds.
inline constexpr std::array<int, 7> kIntervals = {3600, 1800, 600, 60, 30, 10, 2};

struct BenchFile {
    QString path;  // as given
    BenchSettings settings;
    QStringList errors;  // French, one a fault; empty: the file can run a bench

    // Resolved for running.
    QString device;                      // the device the port names
    QString parametersPath;              // absolute; empty: none
    QString journalPath;                 // absolute; empty: none
    files::Configuration configuration;  // param.ini's settings (all missing without one)

    bool ok() const { return errors.isEmpty(); }
    // The timetable's rows: param.ini's times with the file's "Auto" boxes.
    std::array<outputs::TimetableRow, 8> timetable() const;
};

// Where relative journal names go: $STATE_DIRECTORY under the service
// manager, else the bench file's own folder.
QString journalFolder(const QString &benchFilePath);

// Reads, checks and resolves a bench file. COM1 … COM4 are mapped by the
// environment (PRAMELOR_COMn) and the user's "Ports série…" choices.
BenchFile readBenchFile(const QString &path);

// The file's values read from a text, checked but not resolved (no files
// looked at). name is what the error lines call the file.
BenchSettings parseBenchText(const QString &text, const QString &name, QStringList *errors);

// Writes the settings to path, keeping every line of an existing file that
// is not one of the settings' keys (unknown keys and sections, comments).
// error receives a French sentence.
bool writeBenchFile(const QString &path, const BenchSettings &settings, QString *error);
// The same over a text: the new text.
QString benchText(const QString &existing, const BenchSettings &settings);

QString modeName(AcquisitionMode mode);  // manuel, cyclique, programme

}  // namespace service
