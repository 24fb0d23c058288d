#pragma once
// The command line before any window exists: the options Qt takes for
// itself are let through, anything else is refused in French; and a panel
// with no display to show itself on says so in French instead of Qt's
// English abort.

#include <QString>
#include <cstdio>
#include <optional>

namespace desktop {

// The first argument that is neither the panel's nor Qt's own; nothing when
// all are known.
std::optional<QString> unknownArgument(int argc, char **argv);

// Whether the window has something to show on: the platform asked for (by
// -platform or QT_QPA_PLATFORM, X11 when neither says) and the variables it
// needs. env gives a variable's value (empty when unset).
bool displayAvailable(int argc, char **argv, QString (*env)(const char *));

// What the panel says when there is no display: none named (DISPLAY unset),
// or the one named cannot be used (the X server does not answer).
QString noDisplayText(bool unreachable);

// Refuses an unknown argument (exit 2) or the lack of a display (exit 1) with
// a French sentence on err; nothing when the panel may start. From then on,
// until the application object exists, Qt's failure to reach the display
// ends the program with that same sentence and exit code 1.
std::optional<int> refuseToStart(int argc, char **argv, std::FILE *err = stderr);
// Called once the application object exists.
void displayReached();

}  // namespace desktop
