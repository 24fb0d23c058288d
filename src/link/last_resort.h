#pragma once
// The board's relays off however the process ends. The serial component
// publishes the open port here; the window says whether an all-off command is
// owed (the switch is on, or the last output byte written was not 0). When
// the process goes by a way that skips the orderly shutdown (a fatal signal,
// abort, exit() from a library), writeAllOff() puts "n" and byte 0 on the line
// with a plain write: it is async-signal-safe and never blocks.

#include <QByteArray>

namespace board::last_resort {

// The port as opened: its descriptor and its device path (for reopening when
// the port happens to be closed at the end).
void notePortOpen(int fd, const QByteArray &device);
// Called before the descriptor is closed: it is never written afterwards.
void notePortClosed(int fd);

void setOwed(bool owed);
bool owed();

// When owed: write the all-off command on the open descriptor, or else open
// the last device without blocking (no controlling terminal, 9600 8N1, raw),
// write it and close it. Clears the debt when the two bytes went out.
// Returns whether it wrote them.
bool writeAllOff() noexcept;

}  // namespace board::last_resort
