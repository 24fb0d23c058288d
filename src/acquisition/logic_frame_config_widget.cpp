// The logic frame's part of "param.ini": the day and hour of the programmed
// acquisition.
#include "acquisition/logic_frame_widget.h"
#include "files/configuration.h"

#include <QComboBox>
#include <QLineEdit>

void LogicFrame::loadFrom(const files::Configuration &c)
{
    // A list position is kept only when the list has it.
    if (c.has(QStringLiteral("log_j8")))
        if (const auto day = files::wholeSetting(c.log_j, -1, Combo2_->count() - 1)) Combo2_->setCurrentIndex(*day);
    if (c.has(QStringLiteral("log_h8"))) Text2_->setText(c.log_h);
}

void LogicFrame::saveTo(files::Configuration &c) const
{
    c.log_j = QString::number(Combo2_->currentIndex());
    c.log_h = Text2_->text();
}
