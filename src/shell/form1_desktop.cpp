// The window's side of living on a desktop: where its settings are kept and
// the serial devices attached to COM1 … COM4.
#include "shell/form1.h"

#include "link/port_map.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "shell/serial_ports_dialog.h"

#include <QDir>
#include <QSettings>

QString Form1::userDir() const { return setup_.userDir.isEmpty() ? files::userConfigFolder() : setup_.userDir; }

QString Form1::userSettingsFile() const { return files::userSettingsFile(userDir()); }

files::ConfigurationFiles Form1::configFiles() const
{
    // An installed program's folder is shared by every user: never theirs to
    // keep settings in, even when they may write there (root).
    const bool portable =
        !files::installedLayout(program_dir_) &&
        (setup_.folderWritable ? setup_.folderWritable(program_dir_) : files::folderWritable(program_dir_));
    return files::configurationFiles(program_dir_, userDir(), portable);
}

// ---------------------------------------------------------------- "Ports série…"

void Form1::loadDeviceMap()
{
    const QSettings settings(userSettingsFile(), QSettings::IniFormat);
    MSComm1().setDeviceMap(board::readPortMap(settings));
}

// The devices are kept per user, not in "param.ini". The port is closed so
// that the next transmission opens the device now attached to it.
void Form1::n_ports_serie_Click()
{
    auto *dialog = new SerialPortsDialog(MSComm1().deviceMap(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setCurrentPort(MSComm1().portNumber());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const board::PortMap map = dialog->portMap();
        QSettings settings(userSettingsFile(), QSettings::IniFormat);
        board::writePortMap(settings, map);
        MSComm1().setDeviceMap(map);
        if (MSComm1().isOpen()) MSComm1().close();
        const int n = MSComm1().portNumber();
        if (settings.status() != QSettings::NoError)
            showStatus(QStringLiteral("Impossible d'enregistrer les ports dans « %1 » ; ils servent jusqu'à la "
                                      "fermeture du panneau")
                           .arg(QDir::toNativeSeparators(userSettingsFile())));
        else if (!board::portName(n).isEmpty())
            showStatus(QStringLiteral("Ports série enregistrés ; %1 ouvre %2")
                           .arg(board::portName(n), board::portDevice(n, map)));
        else
            showStatus(QStringLiteral("Ports série enregistrés"));
    });
    dialog->open();
}
