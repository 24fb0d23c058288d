#pragma once
// The timers of the bench and of the window: precise, named as the design
// names them, started only when stopped.

#include <QTimer>

// "Enabled = True": start a stopped timer, leave a running one alone.
inline void enableTimer(QTimer *t)
{
    if (!t->isActive()) t->start();
}

// A precise timer with its design name, stopped unless running is asked for.
inline QTimer *makeTimer(QObject *parent, const char *name, int periodMs, bool running = false)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(periodMs);
    if (running) t->start();
    return t;
}
