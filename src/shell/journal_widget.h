#pragma once
// The window's side of the continuous journal: the "Fichier" entries
// "Journal continu…" (ticked while it records), "Ouvrir un journal…" and
// "Parcourir un journal…", the journal's name and line count at the right of
// the status line, and the French message when the journal has to stop. The
// recording itself is the JournalRecorder's; the last path is remembered per user.

#include "acquisition/acquired.h"

#include <QObject>
#include <QPointer>
#include <functional>

class FrameEngine;
class JournalRecorder;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QMessageBox;
struct Tables;

class JournalPanel : public QObject {
    Q_OBJECT
public:
    // (save?, start name) -> chosen path, empty on cancel; empty: the panel's
    // own file dialogs.
    using AskPath = std::function<QString(bool, const QString &)>;

    // settingsFile: the per-user settings, where the last journal is kept.
    // tables: where "Ouvrir un journal…" puts what it reads.
    JournalPanel(QMainWindow *window, JournalRecorder &recorder, Tables &tables, AskPath askPath, QString settingsFile);
    ~JournalPanel() override;

    // The entries, at the end of the menu as it is now.
    void addMenuEntries(QMenu *fichier);
    // Every acquisition of both frames goes to the journal while it runs; the
    // analog frame gives the units of the header.
    void follow(FrameEngine &analog, FrameEngine &logic);

    // Records into path, as "Journal continu…" would once the file is chosen.
    void startAt(const QString &path);
    bool running() const;
    qint64 lines() const;
    // The journal last recorded, remembered per user.
    QString lastPath() const;
    static constexpr const char *kLastPathKey = "journal/dernier_chemin";

signals:
    void tablesLoaded();                         // "Ouvrir un journal…" filled the tables
    void statusChanged(const QString &message);  // for the status line

public slots:
    void n_journal_Click(bool checked);  // "Journal continu…"
    void n_ouvrir_journal_Click();       // "Ouvrir un journal…"
    void n_parcourir_journal_Click();    // "Parcourir un journal…": a window of its own
    // Once a second while recording: flushes and checks the file is in place.
    void sync_Timer();

private:
    QString askFor(bool save);
    void start();
    void stop();
    void stopped(const QString &why);
    void renamed(const QString &wasName, const QString &path);
    void showCount();

    QMainWindow *window_;
    JournalRecorder &recorder_;
    Tables &tables_;
    AskPath ask_;
    QString settings_file_;
    FrameEngine *analog_ = nullptr;
    QAction *n_journal_ = nullptr;
    QAction *n_ouvrir_journal_ = nullptr;
    QLabel *indicator_ = nullptr;
    QPointer<QMessageBox> message_;
};
