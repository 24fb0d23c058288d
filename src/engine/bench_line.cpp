// The bench's side of the line: the sharing of the line between the two
// frames (a start waits while the other frame's acquisition awaits its
// decoding), the frames' decoding of the reply the line collected, and the
// orderly shutdown.
#include "engine/bench.h"

#include "engine/line.h"
#include "text/clock.h"

#include <QTimer>

void Bench::Timer2_Timer() { line_->Timer2_Timer(); }
void Bench::Timer4_Timer() { line_->Timer4_Timer(); }
void Bench::Timer5_Timer() { line_->Timer5_Timer(); }
void Bench::Timer7_Timer() { line_->Timer7_Timer(); }
void Bench::Timer8_Timer() { line_->Timer8_Timer(); }

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
    onLine([line = line_, channel] { line->startRequest(channel); });
    return true;
}

void Bench::decodeReply(Channel channel, const QString &snapshot, const QDateTime &requested)
{
    if (shutting_down_) return;  // a reply the line collected before the shutdown reached it
    frame(channel).decode(snapshot, requested);
    decodingDone(channel);
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
    // Nothing new starts: no timetable, no request not yet sent, no decoding
    // of one already sent, no cyclic or programmed acquisition.
    Timer1->stop();
    // Waited for (the line never waits for this thread): allOffDue() is the
    // line's answer as soon as this returns.
    onLine([line = line_] { line->beginShutdown(); }, true);
    analog_->stop();
    logic_->stop();
    emit stopping();
    gate_.reset();
    setOutputs({});
}

void Bench::finish()
{
    if (ended_) return;
    onLine([line = line_] { line->finish(); }, true);
    Timer1->stop();
    ended_ = true;
}

void Bench::watchEndRequests(int fd)
{
    onLine([line = line_, fd] { line->watchEndRequests(fd); });
}
