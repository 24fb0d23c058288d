#pragma once
// "Configuration" / "Enregistrer le banc…" and "Ouvrir un banc…": the bench
// file that pramelord runs, written from what the window holds now (the
// port, the param.ini it saves to, the switch, the timetable's "Auto" boxes,
// each frame's mode and memorisation, the journal being recorded) and read
// back into the window. Saving a bench saves the configuration ("param.ini",
// which the bench file names) too; saving over a bench file keeps what the
// window does not own (other keys, comments).

#include "service/bench_file.h"

#include <QObject>
#include <functional>

class Bench;
class JournalPanel;
class JournalRecorder;
class PanelConfiguration;

class BenchActions : public QObject {
    Q_OBJECT
public:
    // (save?, start name) -> chosen path, empty on cancel.
    using AskPath = std::function<QString(bool, const QString &)>;

    BenchActions(QObject *parent, Bench &bench, PanelConfiguration &configuration, JournalPanel &journal,
                 const JournalRecorder &recorder, QString paramIni, AskPath askPath);

    void save();  // "Enregistrer le banc…"
    void open();  // "Ouvrir un banc…"

    // What the window holds now, as a bench file at path would say it.
    service::BenchSettings current(const QString &path) const;
    // Puts a read bench file into the window.
    void apply(const service::BenchFile &file);

signals:
    void status(const QString &message);

private:
    Bench &bench_;
    PanelConfiguration &configuration_;
    JournalPanel &journal_;
    const JournalRecorder &recorder_;
    QString param_ini_;
    AskPath ask_;
};
