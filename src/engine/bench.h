#pragma once
// The bench without its window: the eight relay outputs and their
// timetable, the master switch, the sharing of the line between the two
// acquisition frames, and the orderly shutdown; the line itself (the serial
// component, the output command, the requests, their decoding delays and the
// receive buffer) is its Line, on a thread of its own in the panel. It
// changes state only through its own functions and says every change by a
// signal; a window shows it.

#include "acquisition/channel.h"
#include "acquisition/request_gate.h"
#include "engine/frame_engine.h"
#include "engine/timers.h"
#include "link/port_map.h"
#include "outputs/outputs.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QThread;
class Clock;
class Line;
class SerialComponent;
struct Tables;

class Bench : public QObject, public FrameLine {
    Q_OBJECT
public:
    using Timetable = std::array<outputs::TimetableRow, 8>;

    static constexpr int kBufferCap = 64 * 1024;  // newest characters kept

    // lineThread: the line runs on a thread of its own, with the system's
    // clock (the panel, the service); without it, on the caller's thread
    // with this clock (tests that drive the timers by hand).
    Bench(const Clock &clock, QObject *parent = nullptr, bool lineThread = false);
    ~Bench() override;

    // The port's settings and state; safe from any thread.
    SerialComponent &serial();
    const SerialComponent &serial() const;
    Line &line() { return *line_; }

    // ---- which port the line opens: COMn through the device map, or a
    // device path; a change applies from the next opening (closePort first)
    int portNumber() const;
    void setPortNumber(int number);
    QString devicePath() const;
    void setDevicePath(const QString &device);
    board::PortMap deviceMap() const;
    void setDeviceMap(const board::PortMap &map);
    void closePort();  // waited for
    const Clock &clock() const override { return clock_; }

    // ---- the two acquisition frames and the tables they record into
    FrameEngine &analog() { return *analog_; }
    FrameEngine &logic() { return *logic_; }
    FrameEngine &frame(Channel channel) { return channel == Channel::Analog ? *analog_ : *logic_; }
    Tables &tables() { return *tables_; }
    bool linkFailing() const override;
    bool journalRunning() const override { return journal_running_ && journal_running_(); }
    void setJournalRunning(std::function<bool()> running) { journal_running_ = std::move(running); }

    // ---- the daily timetable: each output's start, end and "Auto", applied
    // at every pass of Timer1
    const Timetable &timetable() const { return timetable_; }
    void setTimetable(const Timetable &rows);
    void setTimetableRow(int index, const outputs::TimetableRow &row);

    // ---- the outputs
    bool output(int index) const { return index >= 0 && index < 8 && outputs_[size_t(index)]; }
    std::array<bool, 8> outputStates() const { return outputs_; }
    quint8 outputByte() const;
    void toggleOutput(int index);
    void allOutputsOff();  // and the port is closed
    void allOutputsOn();
    void invertOutputs();
    // One pass of the daily timetable at the clock's time.
    void applyTimetable(const Timetable &rows);

    // ---- the master switch
    int marche() const { return marche_; }
    bool switchedOn() const override { return marche_ == 1; }
    // The switch lever: on; or off, with a one-second wait in which the
    // board hears the byte 0. Nothing while that wait or a shutdown runs.
    void flipSwitch();

    // ---- the receive buffer
    QString buffer() const;
    void appendToBuffer(const QString &received);
    void setBuffer(const QString &text);

    // ---- the requests of the two acquisition frames
    bool beginRequest(Channel channel) override;
    void decodingDone(Channel channel);
    // The frame decodes the receive buffer as it stood when the decoding
    // delay ran out (snapshot) with the time the request was written; then
    // the line is free for the other frame.
    void decodeReply(Channel channel, const QString &snapshot, const QDateTime &requested);
    const acquisition::RequestGate &gate() const { return gate_; }

    // ---- the orderly shutdown, the line's half
    bool shuttingDown() const { return shutting_down_; }
    bool hasEnded() const { return ended_; }
    bool allOffDue() const;
    // Nothing new starts, every output off, Timer4 sends the byte 0 if the
    // board may have a relay on. stopping() is said midway, for the frames.
    void beginShutdown();
    // The all-off command as the last bytes on the line, the port closed.
    void finish();

    QByteArray lastWritten() const;
    int lastOutputByte() const;

    // The read end of the pipe a termination signal writes into: the line
    // begins its shutdown at once, whatever the window's thread is doing,
    // and endRequested() asks for the rest.
    void watchEndRequests(int fd);

signals:
    void outputsChanged();
    void timetableChanged();
    void switchChanged(bool on);
    void received(const QString &piece);  // added at the end of the buffer
    void bufferReplaced();
    void statusChanged(const QString &message);
    void requestSent(Channel channel);
    void heldStartReleased(Channel channel);  // the frame has been told
    void stopping();                          // the shutdown has begun: the acquisitions have stopped
    void endRequested();                      // a termination signal arrived

public slots:
    void Timer1_Timer();
    // The line's steps, for tests that drive them by hand (no line thread).
    void Timer2_Timer();
    void Timer4_Timer();
    void Timer5_Timer();  // the analog decoding delay, 1100 ms after "nA"
    void Timer7_Timer();  // the logic decoding delay, 500 ms after "nL"
    void Timer8_Timer();
    void MSComm1_OnComm(int kind);

private:
    void setOutputs(const std::array<bool, 8> &states);
    void waitOneSecond();
    // Runs f on the line's thread: at once when it is this one, else queued
    // (or waited for, when wait is asked).
    void onLine(std::function<void()> f, bool wait = false);
    static size_t index(Channel c) { return c == Channel::Analog ? 0 : 1; }

    const Clock &clock_;
    Line *line_ = nullptr;
    QThread *thread_ = nullptr;
    Timetable timetable_;
    std::function<bool()> journal_running_;
    std::unique_ptr<Tables> tables_;
    FrameEngine *analog_ = nullptr;
    FrameEngine *logic_ = nullptr;
    std::array<bool, 8> outputs_{};
    int marche_ = 0;  // master switch: 0 off, 1 on
    acquisition::RequestGate gate_;
    bool waiting_ = false;
    bool shutting_down_ = false;
    bool ended_ = false;
    QTimer *Timer1 = nullptr;
};
