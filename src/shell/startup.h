#pragma once
// What the program does once its application object exists: the guards that
// switch the relays off however it ends, the window, and the event loop.

#include "shell/form1.h"

#include <functional>

class QApplication;

namespace shell {

// Runs the panel until it ends; returns the exit code. `ready`, when given,
// runs once the window is shown and before the event loop starts.
int runPanel(QApplication &app, const std::function<void(Form1 &)> &ready = {}, Form1::Setup setup = {});

}  // namespace shell
