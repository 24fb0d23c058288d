#pragma once
// The "Fichier" menu's files: the acquisition tables saved and opened, the
// CSV and picture exports and the screen print. The file texts and their
// rules live in src/files; here they meet the window.

#include <QObject>
#include <functional>

class GraphFrame;
class QWidget;
struct Tables;

class FileActions : public QObject {
    Q_OBJECT
public:
    // (save?, start name) -> chosen path, empty on cancel.
    using AskPath = std::function<QString(bool, const QString &)>;

    FileActions(QWidget *window, Tables &tables, GraphFrame &graph, AskPath askPath, QString documentsDir);

    void saveTables();     // "Enregistrer graphique"
    void openTables();     // "Ouvrir graphique"
    void exportCsv();      // "Exporter en CSV…"
    void exportPicture();  // "Exporter le graphique…"
    void printScreen();    // "Imprime écran"

signals:
    void status(const QString &message);
    void tablesRead();  // the tables were replaced by a whole file

private:
    bool writeFileOrSay(const QString &path, const QByteArray &bytes);

    QWidget *window_;
    Tables &tables_;
    GraphFrame &graph_;
    AskPath ask_path_;
    QString documents_dir_;
};
