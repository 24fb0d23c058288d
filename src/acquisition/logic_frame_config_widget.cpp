// The logic frame's part of "param.ini": the day and hour of the programmed
// acquisition, read into and taken from the frame's engine.
#include "acquisition/logic_frame_widget.h"
#include "engine/frame_engine.h"
#include "files/configuration.h"

#include <QComboBox>

void LogicFrame::loadFrom(const files::Configuration &c)
{
    // A list position is kept only when the list has it.
    if (c.has(QStringLiteral("log_j8")))
        if (const auto day = files::wholeSetting(c.log_j, -1, Combo2_->count() - 1)) engine_.setDayIndex(*day);
    if (c.has(QStringLiteral("log_h8"))) engine_.setHourText(c.log_h);
}

void LogicFrame::saveTo(files::Configuration &c) const
{
    c.log_j = QString::number(engine_.dayIndex());
    c.log_h = engine_.hourText();
}
