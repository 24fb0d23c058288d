#include "service/frame_settings.h"

#include "acquisition/schedule.h"
#include "engine/frame_engine.h"

namespace service {

void applyFrameSettings(FrameEngine &frame, const FrameSettings &s)
{
    switch (s.mode) {
    case AcquisitionMode::Manual:
        if (frame.cyclicAuto() || frame.programmedAuto()) frame.cancel();
        break;
    case AcquisitionMode::Cyclic:
        frame.setCyclicSeconds(s.interval);
        break;
    case AcquisitionMode::Programmed:
        frame.setProgrammed(frame.dayIndex(), frame.hourText());
        break;
    }
    frame.setMemorising(s.memorisation);
}

FrameSettings frameSettingsOf(const FrameEngine &frame)
{
    FrameSettings s;
    if (const auto seconds = acquisition::intervalSeconds(frame.intervalIndex())) s.interval = *seconds;
    if (frame.programme() == FrameEngine::Programme::Armed && frame.programmedAuto())
        s.mode = AcquisitionMode::Programmed;
    else if (frame.cycleRunning() || (frame.programme() == FrameEngine::Programme::Armed && frame.cyclicAuto()))
        s.mode = AcquisitionMode::Cyclic;
    s.memorisation = frame.memorising();
    return s;
}

}  // namespace service
