#pragma once
// What pramelord tells the service manager (sd_notify): ready, stopping, a
// status line, and the watchdog's "still alive". Without a service manager
// (NOTIFY_SOCKET unset) every call does nothing.

#include <QString>

namespace service::notify {

void ready(const QString &status);
void stopping();
void reloading();
void status(const QString &text);
void watchdog();
// The watchdog's period asked for by the unit (WatchdogSec=), in ms; 0: none.
qint64 watchdogMs();

}  // namespace service::notify
