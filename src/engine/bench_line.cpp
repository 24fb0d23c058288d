// The bench's senders on the serial line: the output command every 800 ms,
// the analog and logic requests 400 ms after an acquisition start, their
// decoding delays (the board answers in pieces: decode only after the wait), the
// sharing of the line between the two frames, and the line's half of the
// orderly shutdown.
#include "engine/bench.h"

#include "link/last_resort.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QTimer>

void Bench::Timer4_Timer() { writeOutputCommand(); }

void Bench::writeOutputCommand()
{
    // Once the panel is ending the board hears nothing but the all-off command.
    const quint8 byte = shutting_down_ ? 0 : outputByte();
    output_since_ms_ = clock_.monotonicMs();
    if (!serial_->isOpen() && !serial_->open()) return;  // said once in the status line; retried next time
    serial_->setDtrOff();
    last_output_byte_ = byte;
    send(board::outputCommand(byte));
}

void Bench::sendRequest(const QByteArray &command)
{
    serial_->discardInput();
    if (serial_->isOpen() || serial_->open()) {
        serial_->setDtrOff();
        send(command);
    }
}

void Bench::Timer2_Timer()
{
    sendRequest(board::analogRequest());
    setBuffer(QStringLiteral("nA"));
    enableTimer(Timer4);
    Timer2->stop();
    requested_[index(Channel::Analog)] = clock_.now();
    enableTimer(Timer5);
    emit requestSent(Channel::Analog);
}

void Bench::Timer8_Timer()
{
    sendRequest(board::logicRequest());
    enableTimer(Timer4);
    Timer8->stop();
    requested_[index(Channel::Logic)] = clock_.now();
    enableTimer(Timer7);
    emit requestSent(Channel::Logic);
}

void Bench::Timer5_Timer()
{
    Timer5->stop();
    const QString snapshot = buffer_;  // the buffer as it stands now, whatever changes it later
    decodeReply(Channel::Analog, snapshot, requested_[index(Channel::Analog)]);
}

void Bench::Timer7_Timer()
{
    Timer7->stop();
    const QString snapshot = buffer_;
    decodeReply(Channel::Logic, snapshot, requested_[index(Channel::Logic)]);
}

void Bench::decodeReply(Channel channel, const QString &snapshot, const QDateTime &requested)
{
    frame(channel).decode(snapshot, requested);
    decodingDone(channel);
}

void Bench::send(const QByteArray &command)
{
    serial_->write(command);
    last_written_ = command;
    noteOwed();
}

// Should the process end by a way that skips the shutdown, the board is owed
// the all-off command while the switch is on or a relay was left on.
void Bench::noteOwed()
{
    const bool owed =
        ended_ ? all_off_due_ && last_written_ != board::outputCommand(0) : marche_ == 1 || last_output_byte_ != 0;
    board::last_resort::setOwed(owed);
}

bool Bench::beginRequest(Channel channel)
{
    if (marche_ != 1 || shutting_down_) return true;
    switch (gate_.start(channel, clock_.monotonicMs())) {
    case acquisition::RequestGate::Start::Held:
        return false;
    case acquisition::RequestGate::Start::Joined:
        return true;
    case acquisition::RequestGate::Start::Begin:
        break;
    }
    // Starts can follow one another so closely that Timer4, paused by each
    // and restarted by each request, never gets to fire: an output command
    // that is due goes out now, before the pause, so the board hears its
    // outputs at least every 2 s whatever the acquisitions do.
    if (clock_.monotonicMs() - output_since_ms_ >= Timer4->interval()) writeOutputCommand();
    Timer4->stop();
    enableTimer(channel == Channel::Analog ? Timer2 : Timer8);
    setBuffer(QString());
    return true;
}

void Bench::decodingDone(Channel channel)
{
    const std::optional<Channel> held = gate_.decoded(channel);
    if (!held) return;
    beginRequest(*held);
    frame(*held).heldStartReleased();
    emit heldStartReleased(*held);
}

void Bench::beginShutdown()
{
    if (shutting_down_ || ended_) return;
    shutting_down_ = true;
    // The switch on, or a request that paused Timer4 or restarted it: the
    // board may have a relay on and must hear the all-off command.
    all_off_due_ =
        marche_ == 1 || last_output_byte_ != 0 || Timer4->isActive() || Timer2->isActive() || Timer8->isActive();
    // Nothing new starts: no timetable, no request not yet sent, no decoding
    // of one already sent, no cyclic or programmed acquisition.
    Timer1->stop();
    Timer2->stop();
    Timer8->stop();
    Timer5->stop();
    Timer7->stop();
    analog_->stop();
    logic_->stop();
    emit stopping();
    gate_.reset();
    allOutputsOff();
    if (all_off_due_) enableTimer(Timer4);  // it writes byte 0 from now on
}

void Bench::finish()
{
    if (ended_) return;
    Timer4->stop();
    // The last bytes on the line are the all-off command, whether or not
    // Timer4 got to fire in the wait.
    if (all_off_due_ && last_written_ != board::outputCommand(0)) writeOutputCommand();
    if (serial_->isOpen()) serial_->close();  // what was written goes out first
    for (QTimer *t : {Timer1, Timer2, Timer4, Timer5, Timer7, Timer8}) t->stop();
    ended_ = true;
    noteOwed();
}
