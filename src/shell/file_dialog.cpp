#include "shell/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString kFolderKey = QStringLiteral("dialogues/dossier");
}

QFileDialog *makeFileDialog(QWidget *parent, bool save, const QString &start, const QString &folder)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString suffix = QFileInfo(start).suffix();
    dialog->setNameFilters({QStringLiteral("*.%1").arg(suffix), QStringLiteral("Tous les fichiers (*)")});
    if (save) dialog->setDefaultSuffix(suffix);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog->setDirectory(folder);
    if (!start.startsWith(u'*')) dialog->selectFile(start);
    return dialog;
}

QString askFilePath(QWidget *parent, bool save, const QString &start, const QString &settingsFile)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    QFileDialog *dialog = makeFileDialog(parent, save, start, settings.value(kFolderKey).toString());
    QString path;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        path = dialog->selectedFiles().constFirst();
    delete dialog;
    if (!path.isEmpty()) settings.setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}
