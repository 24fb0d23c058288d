#pragma once
// The main window: relay outputs, analog and logic inputs, the graph frame,
// the master switch, the clock and the serial link to the board. It builds
// the frames, the menus and the bottom band and wires them to the bench; the
// files, the configuration and the window's place have classes of their own.

#include "acquisition/table_ops.h"
#include "acquisition/tables.h"
#include "engine/bench.h"
#include "shell/debug_box.h"
#include "shell/panel_setup.h"
#include "shell/settings_places.h"
#include "shell/window_place.h"
#include "text/clock.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QFrame;
class OutputsFrame;
class ClickLabel;
class SerialComponent;
class AnalogFrame;
class LogicFrame;
class GraphFrame;
class JournalPanel;
class PanelConfiguration;
class FileActions;
class BenchActions;
class JournalRecorder;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    using Setup = PanelSetup;

    Form1();
    explicit Form1(Setup setup);
    ~Form1() override;

    const Clock &clock() const { return *clock_; }
    Tables &tables() { return *tables_; }
    void showStatus(const QString &message);
    QString statusText() const;
    bool journalRunning() const;

    // The window's place of the last run (the panel's start asks for it).
    bool restoreWindowPlace(const QRect &available) { return place_.restore(available); }

    Bench &bench() { return *bench_; }
    SerialComponent &MSComm1() { return bench_->serial(); }
    QString listingText() const { return listing_; }
    std::array<QColor, 8> lamps() const;
    // Received characters go to the end of the buffer; the oldest go past the cap.
    void appendToBuffer(const QString &received) { bench_->appendToBuffer(received); }
    QString receiveBuffer() const { return bench_->buffer(); }

    static constexpr int kBufferCap = Bench::kBufferCap;  // newest characters kept
    static constexpr int kViewCap = DebugBox::kViewCap;   // characters the debug box shows

    int marche() const { return bench_->marche(); }  // master switch: 0 off, 1 on
    int num_tableau = 0;

    // The orderly shutdown has begun (close, "Quitter", a signal, the end of
    // the session) / has ended: the board heard its all-off command.
    bool shuttingDown() const { return bench_->shuttingDown(); }
    bool hasEnded() const { return bench_->hasEnded(); }

signals:
    void ended();  // the shutdown ran to its end; the window is closed

public slots:
    // The one orderly shutdown: every lamp grey, nothing new starts, about one
    // second for the all-off command, then the program ends. Asking again
    // while it runs changes nothing.
    void beginShutdown();
    // The application is leaving by another way (its event loop was told to
    // quit): the end of the shutdown, without its wait.
    void endAtOnce();
    void Form_Load();
    void Image2_Click();
    void Timer3_Timer();
    void n_port_Click();
    void n_debug_Click();
    void Text1_Click();
    void n_a_propos_de_Click();
    void n_aide_Click();  // F1: the user guide
    void n_quitter_Click();
    void n_graph_Click();
    void n_enr_param_Click();
    void n_ports_serie_Click();
    void n_enr_banc_Click();     // "Enregistrer le banc…"
    void n_ouvrir_banc_Click();  // "Ouvrir un banc…"
    void n_ouvrir_Click();
    void n_enregistrer_Click();
    void n_imprime_Click();
    void n_export_csv_Click();
    void n_export_png_Click();
    void Command3_Click();
    void Command23_Click();
    void Command26_Click();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void buildFrames(QWidget *client);
    void buildMenus();
    void buildBottomBand(QWidget *client);
    void buildStatusLine();
    QString askPath(bool save, const QString &start);
    void finishShutdown(bool endProgram);
    void showSwitch(bool on);
    void showListing(const QString &listing);

    Setup setup_;
    SettingsPlaces places_;
    WindowPlace place_;
    std::unique_ptr<SystemClock> own_clock_;
    Clock *clock_ = nullptr;
    Bench *bench_ = nullptr;
    Tables *tables_ = nullptr;  // the bench's
    PanelConfiguration *configuration_ = nullptr;
    FileActions *files_ = nullptr;
    BenchActions *benches_ = nullptr;
    JournalRecorder *recorder_ = nullptr;
    QString listing_;  // the text last listed in Text5, line ends as written
    QTimer *shutdown_wait_ = nullptr;
    acquisition::RandomSource random_;

    QTimer *Timer3 = nullptr;
    OutputsFrame *outputs_ = nullptr;
    ClickLabel *Image2 = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Label18 = nullptr;
    QLabel *status_line_ = nullptr;
    DebugBox *Text1 = nullptr;
    AnalogFrame *analog_ = nullptr;
    LogicFrame *logic_ = nullptr;
    GraphFrame *graph_ = nullptr;
    JournalPanel *journal_ = nullptr;
};
