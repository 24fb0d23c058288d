#pragma once
// A frame's acquisition settings as a bench file holds them, put into a
// frame's engine and taken from it: the window's "Ouvrir un banc…" /
// "Enregistrer le banc…" and pramelord share them.

#include "service/bench_file.h"

class FrameEngine;

namespace service {

// Manual cancels a cyclic or programmed mode; cyclic arms the interval;
// programmed arms the day and hour the engine holds (param.ini's).
void applyFrameSettings(FrameEngine &frame, const FrameSettings &s);
FrameSettings frameSettingsOf(const FrameEngine &frame);

}  // namespace service
