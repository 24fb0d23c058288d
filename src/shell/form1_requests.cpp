// The window's senders on the serial line: the output command every 800 ms,
// the analog and logic requests 400 ms after an acquisition start, and the
// sharing of the line between the two frames.
#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "link/last_resort.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "shell/form1.h"

void Form1::Timer4_Timer() { writeOutputCommand(); }

void Form1::writeOutputCommand()
{
    // Once the panel is ending the board hears nothing but the all-off command.
    const quint8 byte = shutting_down_ ? 0 : board::outputByte(lamps());
    output_since_ms_ = clock_->monotonicMs();
    if (!serial_->isOpen() && !serial_->open()) return;  // said once in the status line; retried next time
    serial_->setDtrOff();
    last_output_byte_ = byte;
    send(board::outputCommand(byte));
}

void Form1::Timer2_Timer()
{
    serial_->discardInput();
    if (serial_->isOpen() || serial_->open()) {
        serial_->setDtrOff();
        send(board::analogRequest());
    }
    setBuffer(QStringLiteral("nA"));
    enableTimer(Timer4);
    Timer2->stop();
    analog_->requestSent();
}

void Form1::Timer8_Timer()
{
    serial_->discardInput();
    if (serial_->isOpen() || serial_->open()) {
        serial_->setDtrOff();
        send(board::logicRequest());
    }
    enableTimer(Timer4);
    Timer8->stop();
    logic_->requestSent();
}

void Form1::send(const QByteArray &command)
{
    serial_->write(command);
    last_written_ = command;
    noteOwed();
}

// Should the process end by a way that skips the shutdown, the board is owed
// the all-off command while the switch is on or a relay was left on.
void Form1::noteOwed()
{
    const bool owed =
        ended_ ? all_off_due_ && last_written_ != board::outputCommand(0) : marche == 1 || last_output_byte_ != 0;
    board::last_resort::setOwed(owed);
}

bool Form1::beginRequest(Channel channel)
{
    if (marche != 1 || shutting_down_) return true;
    switch (gate_.start(channel, clock_->monotonicMs())) {
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
    if (clock_->monotonicMs() - output_since_ms_ >= Timer4->interval()) writeOutputCommand();
    Timer4->stop();
    enableTimer(channel == Channel::Analog ? Timer2 : Timer8);
    setBuffer(QString());
    return true;
}

void Form1::decodingDone(Channel channel)
{
    const std::optional<Channel> held = gate_.decoded(channel);
    if (!held) return;
    beginRequest(*held);
    if (*held == Channel::Analog)
        analog_->heldStartReleased();
    else
        logic_->heldStartReleased();
}
