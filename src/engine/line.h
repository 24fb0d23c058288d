#pragma once
// The board's line: the serial component, the output command every 800 ms,
// the analog and logic requests 400 ms after an acquisition start, their
// decoding delays (the board answers in pieces: the reply is taken only after
// the wait), the receive buffer, and the line's half of the orderly shutdown.
//
// In the panel it runs on a thread of its own, so that nothing the window or
// the disk does (a slow fsync, a modal dialog, a long paint) holds up the
// output command or the all-off command of a shutdown: it never waits for
// either. The bench (on the window's thread) tells it what to do by queued
// calls and hears back by signals. With an injected clock (tests) it runs on
// the caller's thread, where every call is direct.

#include "acquisition/channel.h"

#include <QByteArray>
#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QString>
#include <memory>

class Clock;
class QTimer;
class QSocketNotifier;
class SerialComponent;

class Line : public QObject {
    Q_OBJECT
public:
    static constexpr int kBufferCap = 64 * 1024;  // newest characters kept

    // clock: an injected one (tests, on the caller's thread); nullptr: the
    // system's, owned by the line so that it lives as long as the thread.
    explicit Line(const Clock *clock, QObject *parent = nullptr);
    ~Line() override;

    SerialComponent &serial() { return *serial_; }

    // ---- on the line's thread
    void setOutputByte(quint8 byte);  // the relays as they should be
    void switchOn();                  // the output command every 800 ms from now
    // The switch is off (the byte is already 0): the board hears the byte 0
    // for one second more, then the output command stops.
    void switchOff();
    void closePort();
    // One request: an output command that is due goes out first, then the
    // output command pauses, the buffer empties, and the request goes out
    // 400 ms later; its reply is handed over after the decoding delay.
    void startRequest(Channel channel);
    void appendToBuffer(const QString &received);
    void setBuffer(const QString &text);
    // Nothing new is sent but the all-off command, when the board may have a
    // relay on. Returns at once; finish() ends it.
    void beginShutdown();
    // The all-off command as the last bytes on the line, the port closed.
    void finish();
    // The read end of the pipe a termination signal writes into: the line
    // begins its shutdown at once and says endRequested().
    void watchEndRequests(int fd);

    // ---- from any thread
    QByteArray lastWritten() const;
    int lastOutputByte() const;
    bool allOffDue() const;
    QString buffer() const;

    // The timers' steps, public for tests that drive them by hand.
    void Timer2_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer7_Timer();
    void Timer8_Timer();

signals:
    void received(const QString &piece);
    void bufferReplaced(const QString &text);
    void statusChanged(const QString &message);
    void commEvent(int kind);
    void requestSent(Channel channel);
    // The buffer as it stood when the decoding delay ran out.
    void replyCollected(Channel channel, const QString &snapshot, const QDateTime &requested);
    void endRequested();

private:
    void MSComm1_OnComm(int kind);
    void writeOutputCommand();
    void sendRequest(const QByteArray &command);
    void send(const QByteArray &command);
    void noteOwed();

    std::unique_ptr<Clock> own_clock_;
    const Clock &clock_;
    SerialComponent *serial_ = nullptr;
    QTimer *Timer2 = nullptr, *Timer4 = nullptr, *Timer5 = nullptr, *Timer7 = nullptr, *Timer8 = nullptr;
    QTimer *switch_off_wait_ = nullptr;
    QSocketNotifier *end_requests_ = nullptr;
    quint8 byte_ = 0;
    bool on_ = false;
    bool shutting_down_ = false;
    bool ended_ = false;
    qint64 output_since_ms_ = 0;  // the last output command, or the switch turned on
    QDateTime requested_[2];      // when each frame's last request was written
    // What other threads read.
    mutable QMutex mutex_;
    QString buffer_;
    QByteArray last_written_;   // the last command written to the line
    int last_output_byte_ = 0;  // the byte of the last output command written
    bool all_off_due_ = false;  // at the shutdown: the board must hear the all-off command
};
