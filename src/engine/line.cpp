#include "engine/line.h"

#include "engine/timers.h"
#include "link/last_resort.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QSocketNotifier>
#include <QTimer>
#include <unistd.h>

Line::Line(const Clock *clock, QObject *parent)
    : QObject(parent), own_clock_(clock ? nullptr : std::make_unique<SystemClock>()),
      clock_(clock ? *clock : *own_clock_)
{
    serial_ = new SerialComponent(this);
    serial_->setObjectName(QStringLiteral("MSComm1"));
    connect(serial_, &SerialComponent::onComm, this, &Line::MSComm1_OnComm);
    connect(serial_, &SerialComponent::statusChanged, this, &Line::statusChanged);

    Timer2 = designTimer(this, QStringLiteral("Timer2"), 400);
    Timer4 = designTimer(this, QStringLiteral("Timer4"), 800);
    Timer5 = designTimer(this, QStringLiteral("Timer5"), 1100);  // the analog decoding delay after "nA"
    Timer7 = designTimer(this, QStringLiteral("Timer7"), 500);   // the logic decoding delay after "nL"
    Timer8 = designTimer(this, QStringLiteral("Timer8"), 400);
    switch_off_wait_ = designTimer(this, QStringLiteral("switchOffWait"), 1000);
    switch_off_wait_->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &Line::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Line::Timer4_Timer);
    connect(Timer5, &QTimer::timeout, this, &Line::Timer5_Timer);
    connect(Timer7, &QTimer::timeout, this, &Line::Timer7_Timer);
    connect(Timer8, &QTimer::timeout, this, &Line::Timer8_Timer);
    connect(switch_off_wait_, &QTimer::timeout, this, [this] {
        if (on_ || shutting_down_) return;
        Timer4->stop();
        noteOwed();
    });
}

Line::~Line() = default;

// ---------------------------------------------------------------- outputs

void Line::setOutputByte(quint8 byte) { byte_ = byte; }

void Line::switchOn()
{
    on_ = true;
    switch_off_wait_->stop();
    noteOwed();
    output_since_ms_ = clock_.monotonicMs();
    enableTimer(Timer4);
}

void Line::switchOff()
{
    on_ = false;
    byte_ = 0;
    closePort();
    switch_off_wait_->start();  // Timer4 sends the byte 0 meanwhile
}

void Line::closePort()
{
    if (serial_->isOpen()) serial_->close();
}

void Line::Timer4_Timer() { writeOutputCommand(); }

void Line::writeOutputCommand()
{
    // Once the panel is ending the board hears nothing but the all-off command.
    const quint8 byte = shutting_down_ ? 0 : byte_;
    output_since_ms_ = clock_.monotonicMs();
    if (!serial_->isOpen() && !serial_->open()) return;  // said once in the status line; retried next time
    serial_->setDtrOff();
    {
        QMutexLocker lock(&mutex_);
        last_output_byte_ = byte;
    }
    send(board::outputCommand(byte));
}

// ---------------------------------------------------------------- requests

void Line::startRequest(Channel channel)
{
    if (shutting_down_) return;
    // Starts can follow one another so closely that Timer4, paused by each
    // and restarted by each request, never gets to fire: an output command
    // that is due goes out now, before the pause, so the board hears its
    // outputs at least every 2 s whatever the acquisitions do.
    if (clock_.monotonicMs() - output_since_ms_ >= Timer4->interval()) writeOutputCommand();
    Timer4->stop();
    enableTimer(channel == Channel::Analog ? Timer2 : Timer8);
    setBuffer(QString());
}

void Line::sendRequest(const QByteArray &command)
{
    serial_->discardInput();
    if (serial_->isOpen() || serial_->open()) {
        serial_->setDtrOff();
        send(command);
    }
}

void Line::Timer2_Timer()
{
    sendRequest(board::analogRequest());
    setBuffer(QStringLiteral("nA"));
    enableTimer(Timer4);
    Timer2->stop();
    requested_[0] = clock_.now();
    enableTimer(Timer5);
    emit requestSent(Channel::Analog);
}

void Line::Timer8_Timer()
{
    sendRequest(board::logicRequest());
    enableTimer(Timer4);
    Timer8->stop();
    requested_[1] = clock_.now();
    enableTimer(Timer7);
    emit requestSent(Channel::Logic);
}

void Line::Timer5_Timer()
{
    Timer5->stop();
    emit replyCollected(Channel::Analog, buffer(), requested_[0]);
}

void Line::Timer7_Timer()
{
    Timer7->stop();
    emit replyCollected(Channel::Logic, buffer(), requested_[1]);
}

void Line::send(const QByteArray &command)
{
    serial_->write(command);
    {
        QMutexLocker lock(&mutex_);
        last_written_ = command;
    }
    noteOwed();
}

// Should the process end by a way that skips the shutdown, the board is owed
// the all-off command while the switch is on or a relay was left on.
void Line::noteOwed()
{
    QMutexLocker lock(&mutex_);
    const bool owed = ended_ ? all_off_due_ && last_written_ != board::outputCommand(0) : on_ || last_output_byte_ != 0;
    board::last_resort::setOwed(owed);
}

// ---------------------------------------------------------------- buffer

void Line::MSComm1_OnComm(int kind)
{
    if (kind == SerialComponent::kReceived) appendToBuffer(serial_->readAll());
    emit commEvent(kind);
}

void Line::appendToBuffer(const QString &received)
{
    if (received.isEmpty()) return;
    {
        QMutexLocker lock(&mutex_);
        buffer_ += received;
        if (buffer_.size() > kBufferCap) buffer_.remove(0, buffer_.size() - kBufferCap);
    }
    emit this->received(received);
}

void Line::setBuffer(const QString &text)
{
    {
        QMutexLocker lock(&mutex_);
        buffer_ = text;
    }
    emit bufferReplaced(text);
}

// ---------------------------------------------------------------- shutdown

void Line::beginShutdown()
{
    if (shutting_down_ || ended_) return;
    shutting_down_ = true;
    switch_off_wait_->stop();
    {
        // The switch on, or a request that paused Timer4 or restarted it: the
        // board may have a relay on and must hear the all-off command.
        QMutexLocker lock(&mutex_);
        all_off_due_ = on_ || last_output_byte_ != 0 || Timer4->isActive() || Timer2->isActive() || Timer8->isActive();
    }
    // No request not yet sent, no decoding of one already sent.
    for (QTimer *t : {Timer2, Timer5, Timer7, Timer8}) t->stop();
    byte_ = 0;
    // The port stays open: opening it again takes its lock file, which a
    // slow disk can hold up for seconds.
    if (allOffDue()) enableTimer(Timer4);  // it writes byte 0 from now on
}

void Line::finish()
{
    if (ended_) return;
    Timer4->stop();
    // The last bytes on the line are the all-off command, whether or not
    // Timer4 got to fire in the wait.
    if (allOffDue() && lastWritten() != board::outputCommand(0)) writeOutputCommand();
    closePort();  // what was written goes out first
    for (QTimer *t : {Timer2, Timer4, Timer5, Timer7, Timer8, switch_off_wait_}) t->stop();
    if (end_requests_) end_requests_->setEnabled(false);
    {
        QMutexLocker lock(&mutex_);
        ended_ = true;
    }
    noteOwed();
}

void Line::watchEndRequests(int fd)
{
    delete end_requests_;  // one pipe watched at a time
    end_requests_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(end_requests_, &QSocketNotifier::activated, this, [this, fd] {
        char bytes[64];
        while (::read(fd, bytes, sizeof bytes) > 0) {}
        beginShutdown();
        emit endRequested();  // a second signal changes nothing
    });
}

// ---------------------------------------------------------------- from any thread

QByteArray Line::lastWritten() const
{
    QMutexLocker lock(&mutex_);
    return last_written_;
}

int Line::lastOutputByte() const
{
    QMutexLocker lock(&mutex_);
    return last_output_byte_;
}

bool Line::allOffDue() const
{
    QMutexLocker lock(&mutex_);
    return all_off_due_;
}

QString Line::buffer() const
{
    QMutexLocker lock(&mutex_);
    return buffer_;
}
