#pragma once
// The panel's configuration as the "Configuration" menu handles it: read from
// "param.ini" at start-up, written by "Enregistrer la configuration", the
// port asked by "Communication" and the devices by "Ports série…". Each frame
// shows and gives its own part (loadFrom / saveTo); the port is the bench's.

#include <QObject>
#include <functional>

namespace files {
struct Configuration;
}
class AnalogFrame;
class Bench;
class GraphFrame;
class LogicFrame;
class OutputsFrame;
class QWidget;
class SettingsPlaces;

class PanelConfiguration : public QObject {
    Q_OBJECT
public:
    struct Parts {
        OutputsFrame *outputs = nullptr;
        AnalogFrame *analog = nullptr;
        LogicFrame *logic = nullptr;
        GraphFrame *graph = nullptr;
    };
    using AskText = std::function<QString(const QString &, const QString &, const QString &)>;

    PanelConfiguration(QWidget *window, Bench &bench, const SettingsPlaces &places, AskText askText);

    void setParts(const Parts &parts) { parts_ = parts; }
    // The devices attached to COM1 … COM4, from the user's settings.
    void loadDeviceMap();
    // "param.ini" at start-up. With no file at all (the first start) the
    // controls keep their own starting values.
    void loadAtStart();
    // The frames' parts of a configuration read (not the port).
    void applyParts(const files::Configuration &c);
    void save();             // "Enregistrer la configuration"
    void askPort();          // "Communication"
    void editSerialPorts();  // "Ports série…"

signals:
    void status(const QString &message);

private:
    QWidget *window_;
    Bench &bench_;
    const SettingsPlaces &places_;
    AskText ask_text_;
    Parts parts_;
};
