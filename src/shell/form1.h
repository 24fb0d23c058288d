#pragma once
// The main window: relay outputs, analog and logic inputs, the graph frame,
// the master switch, the clock and the serial link to the board.

#include "acquisition/table_ops.h"
#include "acquisition/tables.h"
#include "engine/bench.h"
#include "files/configuration.h"
#include "files/settings_location.h"
#include "text/clock.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QUrl;
class QLabel;
class QPlainTextEdit;
class QFrame;
class OutputsFrame;
class ClickLabel;
class SerialComponent;
class AnalogFrame;
class LogicFrame;
class GraphFrame;
class JournalPanel;
class JournalRecorder;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from outside; tests replace each piece.
    struct Setup {
        Clock *clock = nullptr;  // nullptr: the system clock
        QString programDir;      // empty: the program's own folder
        // The text input box: (prompt, title, default) -> answer, empty on cancel.
        std::function<QString(const QString &, const QString &, const QString &)> askText;
        // The file dialogs: (save?, start name) -> chosen path, empty on cancel.
        std::function<QString(bool, const QString &)> askPath;
        bool quitApplication = true;  // closing ends the program
        QString documentsDir;         // empty: the user's documents folder (print to PDF)
        QString userDir;              // empty: the user's configuration folder
        // Whether a folder can be written; empty: the system's answer.
        std::function<bool(const QString &)> folderWritable;
        // Opens a document in the desktop's viewer (the user guide); empty:
        // the desktop's own opener.
        std::function<bool(const QUrl &)> openUrl;
    };

    Form1();
    explicit Form1(Setup setup);
    ~Form1() override;

    const Clock &clock() const { return *clock_; }
    Tables &tables() { return *tables_; }
    void showStatus(const QString &message);
    bool journalRunning() const;
    // The user guide F1 opens: the installed one, else the source tree's;
    // empty when there is none.
    QString userGuide() const;
    // The window's size and place, kept per user between runs: once the
    // place of the last run is asked for (the panel's start does), the place
    // at the end is kept for the next.
    void saveWindowPlace();
    bool restoreWindowPlace(const QRect &available);

    Bench &bench() { return *bench_; }
    SerialComponent &MSComm1() { return bench_->serial(); }
    QString statusText() const;
    QString listingText() const { return listing_; }
    QString programDir() const { return program_dir_; }
    // The user's configuration folder and the settings file kept there.
    QString userDir() const;
    QString userSettingsFile() const;
    // Where "param.ini" is read and written.
    files::ConfigurationFiles configFiles() const;
    std::array<QColor, 8> lamps() const;
    // Received characters go to the end of the buffer; the oldest go past the cap.
    void appendToBuffer(const QString &received) { bench_->appendToBuffer(received); }
    QString receiveBuffer() const { return bench_->buffer(); }

    static constexpr int kBufferCap = Bench::kBufferCap;  // newest characters kept
    // The debug box shows only the newest part of the buffer: a long line of
    // text costs the box far more memory than the characters themselves.
    static constexpr int kViewCap = 4 * 1024;

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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildBottomBand(QWidget *client);
    void finishShutdown(bool endProgram);
    void showSwitch(bool on);
    void showReceived(const QString &received);
    void showBufferTail();
    QPixmap switchPicture(bool on) const;
    void showListing(const QString &listing);
    void loadConfigurationFirst();
    void loadConfigurationLast();
    void loadNumberOfAcquisitions();
    void loadDeviceMap();
    QString askPath(bool save, const QString &start);
    bool writeFileOrSay(const QString &path, const QByteArray &bytes);

    std::unique_ptr<SystemClock> own_clock_;
    Clock *clock_ = nullptr;
    QString program_dir_;
    Setup setup_;
    Bench *bench_ = nullptr;
    Tables *tables_ = nullptr;  // the bench's
    qsizetype view_size_ = 0;   // characters put into the visible Text1
    QString listing_;           // the text last listed in Text5, line ends as written
    bool keep_place_ = false;   // the window's place is kept between runs
    QTimer *shutdown_wait_ = nullptr;
    acquisition::RandomSource random_;
    // "param.ini" as read once at start-up, between the pieces of Form_Load;
    // nothing when there was no file.
    std::optional<files::Configuration> startup_config_;

    QTimer *Timer3 = nullptr;
    OutputsFrame *outputs_ = nullptr;
    ClickLabel *Image2 = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Label18 = nullptr;
    QLabel *status_line_ = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    AnalogFrame *analog_ = nullptr;
    LogicFrame *logic_ = nullptr;
    GraphFrame *graph_ = nullptr;
    JournalPanel *journal_ = nullptr;
    JournalRecorder *recorder_ = nullptr;
};
