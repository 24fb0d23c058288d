#include "engine/timers.h"

#include <QTimer>

QTimer *designTimer(QObject *parent, const QString &name, int periodMs)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(periodMs);
    return timer;
}

void enableTimer(QTimer *timer)
{
    if (!timer->isActive()) timer->start();
}
