#include "service/notify.h"

#include <systemd/sd-daemon.h>

namespace service::notify {

namespace {
void send(const QString &state) { sd_notify(0, state.toUtf8().constData()); }
}  // namespace

void ready(const QString &text) { send(QStringLiteral("READY=1\nSTATUS=") + text); }
void stopping() { send(QStringLiteral("STOPPING=1")); }
void reloading() { send(QStringLiteral("RELOADING=1")); }
void status(const QString &text) { send(QStringLiteral("STATUS=") + text); }
void watchdog() { sd_notify(0, "WATCHDOG=1"); }

qint64 watchdogMs()
{
    uint64_t usec = 0;
    return sd_watchdog_enabled(0, &usec) > 0 ? qint64(usec / 1000) : 0;
}

}  // namespace service::notify
