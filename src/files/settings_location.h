#pragma once
// Where the panel keeps its settings. "param.ini" stays in the program's
// folder when that folder can be written and is not an installation (a
// portable copy, the build tree); an installed copy keeps it in the user's
// configuration folder instead, whoever runs it (root too), and,
// until the user first saves there, starts from a "param.ini" found beside the
// program. What "param.ini" does not hold (the serial devices, the last folder
// of the file dialogs) is kept per user beside it, in "pramelor.conf".

#include <QString>

namespace files {

// The per-user settings are QSettings of this organisation and application:
// QSettings(kSettingsOrganization, kSettingsApplication) opens the same file
// as userSettingsFile(userConfigFolder()).
inline constexpr char kSettingsOrganization[] = "pramelor";
inline constexpr char kSettingsApplication[] = "pramelor";

// $XDG_CONFIG_HOME/pramelor, ~/.config/pramelor when the variable is unset.
QString userConfigFolder();
// The per-user settings file in that folder.
QString userSettingsFile(const QString &userFolder);

// Whether the program's folder is an installation rather than a portable
// copy: any folder under /usr or /opt, or a "bin" folder whose parent holds
// the panel's installed files (share/pramelor, its guide in
// share/doc/pramelor, or its menu entry), as "cmake --install" leaves it.
bool installedLayout(const QString &programFolder);

// Whether the user may create files in the folder.
bool folderWritable(const QString &folder);

struct ConfigurationFiles {
    QString read;   // what start-up reads; may not exist
    QString write;  // what "Enregistrer la configuration" writes
};

ConfigurationFiles configurationFiles(const QString &programFolder, const QString &userFolder,
                                      bool programFolderWritable);

}  // namespace files
