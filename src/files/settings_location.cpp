#include "files/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace files {

namespace {
const QString kIni = QStringLiteral("param.ini");
}

QString userConfigFolder()
{
    // The application's configuration folder, named here rather than taken
    // from the application's name so that every program of the project
    // (tests and tools included) finds the same one.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QString::fromLatin1(kSettingsApplication));
}

QString userSettingsFile(const QString &userFolder)
{
    return QDir(userFolder).filePath(QString::fromLatin1(kSettingsApplication) + QStringLiteral(".conf"));
}

bool installedLayout(const QString &programFolder)
{
    const QString folder = QDir::cleanPath(QDir(programFolder).absolutePath());
    for (const char *system : {"/usr", "/opt"}) {
        const QString root = QString::fromLatin1(system);
        if (folder == root || folder.startsWith(root + u'/')) return true;
    }
    const QDir dir(folder);
    if (dir.dirName() != u"bin") return false;
    // What an installation puts beside bin/: the panel's data, its guide, its
    // menu entry.
    const QDir prefix(QDir::cleanPath(folder + QStringLiteral("/..")));
    for (const char *installed : {"share/pramelor", "share/doc/pramelor", "share/applications/pramelor.desktop"})
        if (prefix.exists(QString::fromLatin1(installed))) return true;
    return false;
}

bool folderWritable(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

ConfigurationFiles configurationFiles(const QString &programFolder, const QString &userFolder,
                                      bool programFolderWritable)
{
    const QString beside = QDir(programFolder).filePath(kIni);
    if (programFolderWritable) return {beside, beside};
    const QString own = QDir(userFolder).filePath(kIni);
    // First start of an installed copy: the file beside the program, if any,
    // is the starting point; the user's own file is written on first save.
    if (!QFileInfo::exists(own) && QFileInfo::exists(beside)) return {beside, own};
    return {own, own};
}

}  // namespace files
