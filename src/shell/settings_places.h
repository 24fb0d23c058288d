#pragma once
// Where the panel keeps what lasts between runs: "param.ini" (beside the
// program when it is portable, else in the user's folder) and the user's own
// settings file (the window's place, the serial devices, the dialogs' folders).

#include "files/settings_location.h"
#include "shell/panel_setup.h"

class SettingsPlaces {
public:
    explicit SettingsPlaces(const PanelSetup &setup);

    QString programDir() const { return program_dir_; }
    // The user's configuration folder and the settings file kept there.
    QString userDir() const;
    QString userSettingsFile() const;
    // Where "param.ini" is read and written.
    files::ConfigurationFiles configFiles() const;

private:
    QString program_dir_;
    QString user_dir_;
    std::function<bool(const QString &)> folder_writable_;
};
