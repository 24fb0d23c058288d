#pragma once
// What the main window takes from outside; tests replace each piece.

#include <QString>
#include <functional>

class Clock;
class QUrl;

struct PanelSetup {
    Clock *clock = nullptr;  // nullptr: the system clock
    QString programDir;      // empty: the program's own folder
    // The text input box: (prompt, title, default) -> answer, empty on cancel.
    std::function<QString(const QString &, const QString &, const QString &)> askText;
    // The file dialogs: (save?, start name) -> chosen path, empty on cancel.
    std::function<QString(bool, const QString &)> askPath;
    bool quitApplication = true;  // closing ends the program
    QString documentsDir;         // empty: the user's documents folder (print to PDF)
    QString userDir;              // empty: the user's configuration folder
    // Whether a folder can be written; empty: the system's answer.
    std::function<bool(const QString &)> folderWritable;
    // Opens a document in the desktop's viewer (the user guide); empty:
    // the desktop's own opener.
    std::function<bool(const QUrl &)> openUrl;
};
