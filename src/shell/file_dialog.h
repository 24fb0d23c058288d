#pragma once
// The panel's file dialogs: Qt's own dialog (so that it speaks French like
// the rest of the panel), opened in the last folder the user chose (kept per
// user), adding the suffix of the kind of file to a name typed without one
// when saving ("essai" saves the tables as "essai.txt").

#include <QString>

class QFileDialog;
class QWidget;

// start: "*.txt" (the tables) or a proposed name such as "graphique.png";
// folder: where the dialog opens.
QFileDialog *makeFileDialog(QWidget *parent, bool save, const QString &start, const QString &folder);

// Asks for a path; empty when cancelled. The folder is read from and kept in
// the per-user settings file.
QString askFilePath(QWidget *parent, bool save, const QString &start, const QString &settingsFile);
