#include "shell/panel_configuration.h"

#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "engine/bench.h"
#include "files/configuration.h"
#include "graph/graph_frame_widget.h"
#include "link/port_map.h"
#include "link/protocol.h"
#include "outputs/outputs_frame_widget.h"
#include "shell/serial_ports_dialog.h"
#include "shell/settings_places.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

PanelConfiguration::PanelConfiguration(QWidget *window, Bench &bench, const SettingsPlaces &places, AskText askText)
    : QObject(window), window_(window), bench_(bench), places_(places), ask_text_(std::move(askText))
{
    setObjectName(QStringLiteral("configuration"));
}

void PanelConfiguration::loadAtStart()
{
    // A file that cannot be read counts as none, and the status line says so.
    QString problem;
    const std::optional<files::Configuration> read =
        files::readStartupConfiguration(places_.configFiles().read, &problem);
    if (!problem.isEmpty()) emit status(problem);
    if (read) {
        // A setting the file lacks keeps the control's starting value.
        if (const auto port = files::wholeSetting(read->com, 1, 255)) bench_.setPortNumber(*port);
        applyParts(*read);
    } else {
        parts_.graph->HScroll1_Change();  // the tables take the number shown
    }
}

void PanelConfiguration::applyParts(const files::Configuration &c)
{
    parts_.outputs->loadFrom(c);
    parts_.analog->loadFrom(c);
    parts_.graph->loadFrom(c);
    parts_.logic->loadFrom(c);
    parts_.graph->HScroll1_Change();  // the tables take the number shown
}

void PanelConfiguration::save()
{
    files::Configuration c;
    c.com = QString::number(bench_.portNumber());
    parts_.outputs->saveTo(c);
    parts_.analog->saveTo(c);
    parts_.logic->saveTo(c);
    parts_.graph->saveTo(c);

    const QString path = places_.configFiles().write;
    QDir().mkpath(QFileInfo(path).absolutePath());  // the user's folder, on the first save
    QString error;
    if (files::writeConfiguration(path, c, &error))
        emit status(QStringLiteral("Configuration enregistrée dans « %1 »").arg(QDir::toNativeSeparators(path)));
    else
        emit status(error);
}

void PanelConfiguration::askPort()
{
    const QString answer = ask_text_(QStringLiteral("Changement du port de communication"),
                                     QStringLiteral("Port de communication"), board::portName(bench_.portNumber()))
                               .toUpper();
    bench_.closePort();
    if (const int n = board::portFromAnswer(answer)) bench_.setPortNumber(n);
}

void PanelConfiguration::loadDeviceMap()
{
    const QSettings settings(places_.userSettingsFile(), QSettings::IniFormat);
    bench_.setDeviceMap(board::readPortMap(settings));
}

// The devices are kept per user, not in "param.ini". The port is closed so
// that the next transmission opens the device now attached to it.
void PanelConfiguration::editSerialPorts()
{
    auto *dialog = new SerialPortsDialog(bench_.deviceMap(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setCurrentPort(bench_.portNumber());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const board::PortMap map = dialog->portMap();
        const QString file = places_.userSettingsFile();
        QSettings settings(file, QSettings::IniFormat);
        board::writePortMap(settings, map);
        bench_.setDeviceMap(map);
        bench_.closePort();
        const int n = bench_.portNumber();
        if (settings.status() != QSettings::NoError)
            emit status(QStringLiteral("Impossible d'enregistrer les ports dans « %1 » ; ils servent jusqu'à la "
                                       "fermeture du panneau")
                            .arg(QDir::toNativeSeparators(file)));
        else if (!board::portName(n).isEmpty())
            emit status(QStringLiteral("Ports série enregistrés ; %1 ouvre %2")
                            .arg(board::portName(n), board::portDevice(n, map)));
        else
            emit status(QStringLiteral("Ports série enregistrés"));
    });
    dialog->open();
}
