#pragma once
// The bench without its window: the serial line to the board, the receive
// buffer, the eight relay outputs and their timetable, the master switch,
// the senders of the output command and of the two requests, and the line's
// half of the orderly shutdown. It changes state only through its own
// functions and says every change by a signal; a window shows it.

#include "acquisition/channel.h"
#include "acquisition/request_gate.h"
#include "engine/frame_engine.h"
#include "outputs/outputs.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QTimer;
class Clock;
class SerialComponent;
struct Tables;

void enableTimer(QTimer *t);  // start a stopped timer, leave a running one alone

class Bench : public QObject, public FrameLine {
    Q_OBJECT
public:
    using Timetable = std::array<outputs::TimetableRow, 8>;

    static constexpr int kBufferCap = 64 * 1024;  // newest characters kept

    Bench(const Clock &clock, QObject *parent = nullptr);
    ~Bench() override;

    SerialComponent &serial() { return *serial_; }
    const SerialComponent &serial() const { return *serial_; }
    const Clock &clock() const override { return clock_; }

    // ---- the two acquisition frames and the tables they record into
    FrameEngine &analog() { return *analog_; }
    FrameEngine &logic() { return *logic_; }
    FrameEngine &frame(Channel channel) { return channel == Channel::Analog ? *analog_ : *logic_; }
    Tables &tables() { return *tables_; }
    bool linkFailing() const override;
    bool journalRunning() const override { return journal_running_ && journal_running_(); }
    void setJournalRunning(std::function<bool()> running) { journal_running_ = std::move(running); }

    // The timetable's rows, asked for at every pass of Timer1.
    void setTimetableSource(std::function<Timetable()> source) { timetable_ = std::move(source); }

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
    QString buffer() const { return buffer_; }
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
    bool allOffDue() const { return all_off_due_; }
    // Nothing new starts, every output off, Timer4 sends the byte 0 if the
    // board may have a relay on. stopping() is said midway, for the frames.
    void beginShutdown();
    // The all-off command as the last bytes on the line, the port closed.
    void finish();

    QByteArray lastWritten() const { return last_written_; }
    int lastOutputByte() const { return last_output_byte_; }

signals:
    void outputsChanged();
    void switchChanged(bool on);
    void received(const QString &piece);  // added at the end of the buffer
    void bufferReplaced();
    void statusChanged(const QString &message);
    void requestSent(Channel channel);
    void heldStartReleased(Channel channel);  // the frame has been told
    void stopping();                          // the shutdown has begun: the acquisitions have stopped

public slots:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer4_Timer();
    void Timer5_Timer();  // the analog decoding delay, 1100 ms after "nA"
    void Timer7_Timer();  // the logic decoding delay, 500 ms after "nL"
    void Timer8_Timer();
    void MSComm1_OnComm(int kind);

private:
    void setOutputs(const std::array<bool, 8> &states);
    void writeOutputCommand();
    void sendRequest(const QByteArray &command);
    void send(const QByteArray &command);
    void noteOwed();
    void waitOneSecond();
    static size_t index(Channel c) { return c == Channel::Analog ? 0 : 1; }

    const Clock &clock_;
    SerialComponent *serial_ = nullptr;
    std::function<Timetable()> timetable_;
    std::function<bool()> journal_running_;
    std::unique_ptr<Tables> tables_;
    FrameEngine *analog_ = nullptr;
    FrameEngine *logic_ = nullptr;
    std::array<bool, 8> outputs_{};
    int marche_ = 0;  // master switch: 0 off, 1 on
    QString buffer_;
    acquisition::RequestGate gate_;
    bool waiting_ = false;
    bool shutting_down_ = false;
    bool ended_ = false;
    bool all_off_due_ = false;            // at the shutdown: the board must hear the all-off command
    QByteArray last_written_;             // the last command written to the line
    int last_output_byte_ = 0;            // the byte of the last output command written
    qint64 output_since_ms_ = 0;          // the last output command, or the switch turned on
    std::array<QDateTime, 2> requested_;  // when each frame's last request was written
    QTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer4 = nullptr, *Timer8 = nullptr;
    QTimer *Timer5 = nullptr, *Timer7 = nullptr;
};
