// A frame's acquisition modes: Validation, Annulation, the programmed check
// twice a second and the cyclic wait, the same in both frames.
#include "engine/frame_engine.h"

#include "text/clock.h"

#include <QTimer>
#include <algorithm>

void FrameEngine::setIntervalIndex(int position)
{
    if (position == interval_index_) return;
    interval_index_ = position;
    emit modeChanged();
}

void FrameEngine::setCyclicAuto(bool on)
{
    if (on == cyclic_auto_) return;
    cyclic_auto_ = on;
    if (isAnalog()) diagnostic_ = QString::number(interval_index_);
    if (on) programmed_auto_ = false;
    emit modeChanged();
}

void FrameEngine::setProgrammedAuto(bool on)
{
    if (on == programmed_auto_) return;
    programmed_auto_ = on;
    if (on && cyclic_auto_) {
        cyclic_auto_ = false;
        if (isAnalog()) diagnostic_ = QString::number(interval_index_);
    }
    emit modeChanged();
}

void FrameEngine::setDayIndex(int position)
{
    if (position == day_index_) return;
    day_index_ = position;
    emit modeChanged();
}

void FrameEngine::setHourText(const QString &text)
{
    if (text == hour_text_) return;
    hour_text_ = text;
    emit modeChanged();
}

void FrameEngine::copyTime() { setHourText(text::timeText(line_.clock())); }

void FrameEngine::setProgramme(Programme p)
{
    if (p == programme_) return;
    programme_ = p;
    emit modeChanged();
}

bool FrameEngine::validate()
{
    const std::optional<int> interval = acquisition::intervalSeconds(interval_index_);
    if (cyclic_auto_ && !interval) {
        // A typed or missing choice has no interval: refuse rather than guess.
        emit statusChanged(QStringLiteral("Choisissez un intervalle"));
        return false;
    }
    if (cyclic_auto_ || programmed_auto_) {
        setProgramme(Programme::Armed);
        if (!programmed_timer_->isActive()) programmed_timer_->start();
    } else {
        setProgramme(Programme::Idle);
    }
    if (cyclic_auto_) {
        // One cycle per frame: a second Validation starts the cycle afresh.
        restart_when_released_ = false;
        wait_.start(line_.clock().monotonicMs(), *interval);
        armCyclicTimer();
    }
    emit panelClosed();
    return true;
}

void FrameEngine::cancel()
{
    programmed_timer_->stop();
    setCyclicAuto(false);
    setProgrammedAuto(false);
    setProgramme(Programme::Idle);
    emit panelClosed();
}

bool FrameEngine::setCyclic(int intervalPosition)
{
    setIntervalIndex(intervalPosition);
    setCyclicAuto(true);
    return validate();
}

bool FrameEngine::setCyclicSeconds(int seconds)
{
    for (int position = 0; acquisition::intervalSeconds(position); ++position)
        if (*acquisition::intervalSeconds(position) == seconds) return setCyclic(position);
    emit statusChanged(QStringLiteral("Choisissez un intervalle"));
    return false;
}

bool FrameEngine::setProgrammed(int dayPosition, const QString &hour)
{
    setDayIndex(dayPosition);
    setHourText(hour);
    setProgrammedAuto(true);
    return validate();
}

void FrameEngine::programmedCheck()
{
    const Clock &clock = line_.clock();
    if (!acquisition::daySelected(isAnalog(), day_index_, clock.dayOfWeek())) return;
    if (hour_text_ != text::timeText(clock)) return;
    acquireNow();
    programmed_timer_->stop();  // one-shot: not re-armed for the next day
    setProgramme(Programme::Idle);
}

void FrameEngine::cyclicWaitTick()
{
    if (!wait_.active()) return;
    if (!wait_.due(line_.clock().monotonicMs())) {
        armCyclicTimer();
        return;
    }
    wait_.stop();
    const bool begun = acquireNow();
    if (!cyclic_auto_) {
        // Cancelled during the wait: that was the last acquisition.
        cyclic_timer_->stop();
        emit panelClosed();
        return;
    }
    if (!begun) {
        // Held behind the other frame: the next wait begins when this start
        // proceeds, as if the start had taken that long.
        restart_when_released_ = true;
        return;
    }
    // The next interval is measured from the start of this new wait.
    wait_.start(line_.clock().monotonicMs(), wait_.intervalS());
    armCyclicTimer();
}

void FrameEngine::heldStartReleased()
{
    if (!restart_when_released_) return;
    restart_when_released_ = false;
    if (!cyclic_auto_) {
        emit panelClosed();  // cancelled while held: that was the last one
        return;
    }
    wait_.start(line_.clock().monotonicMs(), wait_.intervalS());
    armCyclicTimer();
}

void FrameEngine::armCyclicTimer()
{
    const qint64 remaining = wait_.remainingMs(line_.clock().monotonicMs());
    cyclic_timer_->start(int(std::min<qint64>(remaining, 24LL * 3600 * 1000)));
}
