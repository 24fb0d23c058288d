#pragma once
// The panel's timers, the bench's and the window's alike: precise, named as
// they were designed, and started only when asked.

#include <QString>

class QObject;
class QTimer;

// A precise timer of that name and period, stopped.
QTimer *designTimer(QObject *parent, const QString &name, int periodMs);
// "Enable": start a stopped timer, leave a running one alone.
void enableTimer(QTimer *timer);
