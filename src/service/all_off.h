#pragma once
// "pramelord --all-off": the all-off command 6E 00 on a port, on its own, as
// the last word after any end of the bench (the unit's ExecStopPost=).

#include <QString>

namespace service {

// Opens the device (waiting up to waitMs for a port still held by a dying
// process), writes "n" and byte 0 at 9600 8N1, waits for them to leave, and
// closes it. said receives what happened, in French. True when the two bytes
// went out.
bool sendAllOff(const QString &device, QString *said, int waitMs = 3000);

}  // namespace service
