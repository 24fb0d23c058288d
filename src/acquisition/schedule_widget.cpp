#include "acquisition/schedule_widget.h"

#include "acquisition/host.h"
#include "text/clock.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace acquisition::ui {

PanelScheduler::PanelScheduler(AcquisitionHost &host, const PanelControls &controls,
                               std::function<bool()> startAcquisition)
    : host_(host), c_(controls), start_(std::move(startAcquisition))
{
}

void PanelScheduler::showPanel()
{
    placement::setHeight(c_.panel, 1875);
    c_.panel->raise();
    c_.panel->show();
}

void PanelScheduler::validate()
{
    const std::optional<int> interval = intervalSeconds(c_.intervals->currentIndex());
    if (c_.cyclic->isChecked() && !interval) {
        // A typed or missing choice has no interval: refuse rather than guess.
        host_.showStatus(QStringLiteral("Choisissez un intervalle"));
        return;
    }
    if (c_.cyclic->isChecked() || c_.programmed->isChecked()) {
        setBackColour(c_.programButton, kArmedRed);
        enableTimer(c_.programmedTimer);
    } else {
        setBackColour(c_.programButton, kIdleGrey);
    }
    if (c_.cyclic->isChecked()) {
        // One cycle per frame: a second Validation starts the cycle afresh.
        restart_when_released_ = false;
        wait_.start(host_.clock().monotonicMs(), *interval);
        armCyclicTimer();
    }
    c_.panel->hide();
}

void PanelScheduler::cancel()
{
    c_.programmedTimer->stop();
    c_.cyclic->setChecked(false);
    c_.programmed->setChecked(false);
    setBackColour(c_.programButton, kIdleGrey);
    c_.panel->hide();
}

void PanelScheduler::programmedCheck()
{
    if (!daySelected(c_.analogList, c_.days->currentIndex(), host_.clock().dayOfWeek())) return;
    if (c_.hour->text() != text::timeText(host_.clock())) return;
    start_();
    c_.programmedTimer->stop();  // one-shot: not re-armed for the next day
    setBackColour(c_.programButton, kIdleGrey);
}

void PanelScheduler::copyTime() { c_.hour->setText(text::timeText(host_.clock())); }

void PanelScheduler::cyclicWaitTick()
{
    if (!wait_.active()) return;
    if (!wait_.due(host_.clock().monotonicMs())) {
        armCyclicTimer();
        return;
    }
    wait_.stop();
    const bool begun = start_();
    if (!c_.cyclic->isChecked()) {
        // Cancelled during the wait: that was the last acquisition.
        c_.cyclicTimer->stop();
        c_.panel->hide();
        return;
    }
    if (!begun) {
        // Held behind the other frame: the next wait begins when this start
        // proceeds, as if the start had taken that long.
        restart_when_released_ = true;
        return;
    }
    // The next interval is measured from the start of this new wait.
    wait_.start(host_.clock().monotonicMs(), wait_.intervalS());
    armCyclicTimer();
}

void PanelScheduler::heldStartReleased()
{
    if (!restart_when_released_) return;
    restart_when_released_ = false;
    if (!c_.cyclic->isChecked()) {
        c_.panel->hide();  // cancelled while held: that was the last one
        return;
    }
    wait_.start(host_.clock().monotonicMs(), wait_.intervalS());
    armCyclicTimer();
}

void PanelScheduler::stop()
{
    wait_.stop();
    restart_when_released_ = false;
    c_.cyclicTimer->stop();
    c_.programmedTimer->stop();
}

void PanelScheduler::armCyclicTimer()
{
    const qint64 remaining = wait_.remainingMs(host_.clock().monotonicMs());
    c_.cyclicTimer->start(int(std::min<qint64>(remaining, 24LL * 3600 * 1000)));
}

}  // namespace acquisition::ui
