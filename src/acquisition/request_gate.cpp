#include "acquisition/request_gate.h"

namespace acquisition {

RequestGate::Start RequestGate::start(Channel channel, qint64 nowMs)
{
    if (in_flight_ && nowMs - since_ms_ < kStaleMs) {
        if (*in_flight_ == channel) return Start::Joined;
        held_[index(channel)] = true;  // a second start while held is the same one
        return Start::Held;
    }
    held_[index(channel)] = false;
    in_flight_ = channel;
    since_ms_ = nowMs;
    return Start::Begin;
}

std::optional<Channel> RequestGate::decoded(Channel channel)
{
    if (in_flight_ != channel) return std::nullopt;
    in_flight_.reset();
    const Channel other = channel == Channel::Analog ? Channel::Logic : Channel::Analog;
    if (!held_[index(other)]) return std::nullopt;
    held_[index(other)] = false;
    return other;
}

void RequestGate::reset()
{
    in_flight_.reset();
    held_ = {};
}

}  // namespace acquisition
