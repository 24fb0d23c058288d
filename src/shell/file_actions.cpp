#include "shell/file_actions.h"

#include "files/acquisition_file.h"
#include "files/csv_export.h"
#include "files/read_progress_widget.h"
#include "files/save_file.h"
#include "files/screen_print_widget.h"
#include "files/times_file.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

FileActions::FileActions(QWidget *window, Tables &tables, GraphFrame &graph, AskPath askPath, QString documentsDir)
    : QObject(window), window_(window), tables_(tables), graph_(graph), ask_path_(std::move(askPath)),
      documents_dir_(std::move(documentsDir))
{
    setObjectName(QStringLiteral("fileActions"));
}

bool FileActions::writeFileOrSay(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (files::writeWhole(path, bytes, &error)) return true;
    emit status(error);
    return false;
}

void FileActions::saveTables()
{
    const QString path = ask_path_(true, QStringLiteral("*.txt"));
    if (path.isEmpty()) return;
    files::SaveOutcome out = files::saveAcquisitions(path, tables_);
    if (QString error; !files::saveTimes(path, tables_, &error)) out.failures << error;
    if (out.failures.isEmpty())
        emit status(QStringLiteral("Tableaux enregistrés dans « %1 », « %2 » et « %3 »")
                        .arg(QFileInfo(path).fileName(), QFileInfo(files::logicFileName(path)).fileName(),
                             QFileInfo(files::timesFileName(path)).fileName()));
    else
        emit status(out.failures.join(QStringLiteral(" ; ")));
}

void FileActions::openTables()
{
    const QString path = ask_path_(false, QStringLiteral("*.txt"));
    if (path.isEmpty()) return;
    // Read aside while the panel runs on; the tables change only here, at once.
    const files::OpenOutcome out = files::applyAcquisitionRead(files::readAcquisitionsWaiting(window_, path), tables_);
    if (out.opened) graph_.clearMarkers();
    QString said = out.message;
    if (out.opened)
        if (const QString times = files::openTimes(path, tables_, out.analogLines, out.logicLines).message;
            !times.isEmpty())
            said += (said.isEmpty() ? QString() : QStringLiteral(" ; ")) + times;
    if (out.reachedEnd) emit tablesRead();
    if (!said.isEmpty())
        emit status(said);
    else
        emit status(QStringLiteral("Tableaux lus dans « %1 »").arg(QFileInfo(path).fileName()));
}

void FileActions::exportCsv()
{
    const QString path = ask_path_(true, QStringLiteral("acquisitions.csv"));
    if (path.isEmpty()) return;
    if (writeFileOrSay(path, files::csvBytes(tables_)))
        emit status(QStringLiteral("Tableaux exportés dans « %1 »").arg(QDir::toNativeSeparators(path)));
}

void FileActions::exportPicture()
{
    const QString path = ask_path_(true, QStringLiteral("graphique.png"));
    if (path.isEmpty()) return;
    const QImage image = graph_.picture()->grab().toImage();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    if (writeFileOrSay(path, bytes))
        emit status(QStringLiteral("Graphique exporté dans « %1 »").arg(QDir::toNativeSeparators(path)));
}

void FileActions::printScreen()
{
    QString folder = documents_dir_;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    const files::PrintOutcome out = files::printImage(window_->grab().toImage(), folder, QDateTime::currentDateTime());
    emit status(out.message);
}
