#include "shell/settings_places.h"

#include <QCoreApplication>

SettingsPlaces::SettingsPlaces(const PanelSetup &setup)
    : program_dir_(setup.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : setup.programDir),
      user_dir_(setup.userDir), folder_writable_(setup.folderWritable)
{
}

QString SettingsPlaces::userDir() const { return user_dir_.isEmpty() ? files::userConfigFolder() : user_dir_; }

QString SettingsPlaces::userSettingsFile() const { return files::userSettingsFile(userDir()); }

files::ConfigurationFiles SettingsPlaces::configFiles() const
{
    // An installed program's folder is shared by every user: never theirs to
    // keep settings in, even when they may write there (root).
    const bool portable = !files::installedLayout(program_dir_) &&
                          (folder_writable_ ? folder_writable_(program_dir_) : files::folderWritable(program_dir_));
    return files::configurationFiles(program_dir_, userDir(), portable);
}
