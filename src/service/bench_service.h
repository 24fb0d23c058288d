#pragma once
// One bench run without a window: the engine's Bench set up from a bench
// file, its events said in the log, SIGHUP's re-reading, the orderly
// shutdown and the service manager kept informed (ready, watchdog, stopping).

#include "engine/bench.h"
#include "service/bench_file.h"

#include <QObject>

class FrameEngine;
class JournalRecorder;
class QTimer;

namespace service {

class BenchService : public QObject {
    Q_OBJECT
public:
    // lineThread: the line on a thread of its own, with the system's clock
    // (pramelord); without it the injected clock drives everything (tests).
    BenchService(const Clock &clock, BenchFile file, bool verbose, QObject *parent = nullptr, bool lineThread = false);

    Bench &bench() { return *bench_; }
    const BenchFile &file() const { return file_; }

    // Sets the bench up, opens the port (its failure said), turns the switch
    // on when the file says so, and tells the service manager it is ready.
    void start();
    // Reads the bench file again and applies what changed; a file with
    // errors is refused with its reasons and the bench runs on unchanged.
    bool reload();
    // The window's orderly shutdown: nothing new starts, every output off,
    // the all-off command last when one is owed, then ended().
    void beginShutdown(int signal = 0);
    bool hasEnded() const { return ended_; }

signals:
    void ended();

private:
    // Each frame's mode, interval and memorisation, param.ini's settings and
    // the journal of the bench file, at start (previous null) and at every
    // SIGHUP (only what changed).
    void applyAcquisitions(const BenchFile &file, const BenchFile *previous);
    void applyParameters(const files::Configuration &c);
    void finish();
    void onStatus(const QString &message);

    BenchFile file_;
    bool verbose_ = false;
    Bench *bench_ = nullptr;
    JournalRecorder *recorder_ = nullptr;
    QTimer *shutdown_wait_ = nullptr, *watchdog_ = nullptr;
    bool port_failed_ = false, port_opened_once_ = false, ended_ = false;
};

QString outputsText(const std::array<bool, 8> &states);  // "10000001 (0x81)"

}  // namespace service
