#pragma once
// The two frames share one line and one receive buffer: an acquisition is in
// flight from its start until its decoding has run, and a start of the other
// frame in that time would empty the buffer under it (or throw its reply away
// when the request goes out). Such a start is held until the decoding has
// run, then proceeds; a frame has at most one start held. A frame's own start
// while its own acquisition is in flight joins it: the acquisition under way
// gives that frame its one decoding, as it always did, without a second
// request on the line.

#include "acquisition/channel.h"

#include <QtGlobal>
#include <array>
#include <optional>

namespace acquisition {

class RequestGate {
public:
    enum class Start { Begin, Held, Joined };

    // From a start to its decoding takes 1.5 s at most (analog: 400 ms to the
    // request, 1100 ms to the decoding). An acquisition still "in flight" long
    // after that lost its decoding somehow; it no longer holds anything back.
    static constexpr qint64 kStaleMs = 4000;

    // A start once the switch is on, at nowMs on a clock that never goes back.
    Start start(Channel channel, qint64 nowMs);
    // The frame's decoding has run: the frame whose held start may begin now
    // (it then starts again through start()).
    std::optional<Channel> decoded(Channel channel);
    // Nothing in flight, nothing held (the panel is ending).
    void reset();

    std::optional<Channel> inFlight() const { return in_flight_; }
    bool held(Channel channel) const { return held_[index(channel)]; }

private:
    static size_t index(Channel c) { return c == Channel::Analog ? 0 : 1; }

    std::optional<Channel> in_flight_;
    qint64 since_ms_ = 0;
    std::array<bool, 2> held_{};
};

}  // namespace acquisition
