// The analog frame's part of "param.ini": each channel's unit and
// coefficient, and the day and hour of the programmed acquisition.
#include "acquisition/analog_frame_widget.h"
#include "files/configuration.h"

#include <QComboBox>
#include <QLineEdit>

void AnalogFrame::loadFrom(const files::Configuration &c)
{
    // A setting the file lacks keeps the control's starting value: an empty
    // unit and a coefficient 0 would only hide the readings.
    for (size_t i = 0; i < 8; ++i) {
        const QString k = QString::number(i + 1);
        if (c.has(QStringLiteral("u_ana") + k)) unit_[i]->setText(c.u_ana[i]);
        if (c.has(QStringLiteral("coeff") + k)) coeff_[i]->setText(files::coefficientSetting(c.coeff[i]));
    }
    // A list position is kept only when the list has it.
    if (c.has(QStringLiteral("ana_j8")))
        if (const auto day = files::wholeSetting(c.ana_j, -1, Combo3_->count() - 1)) Combo3_->setCurrentIndex(*day);
    if (c.has(QStringLiteral("ana_h8"))) Text3_->setText(c.ana_h);
}

void AnalogFrame::saveTo(files::Configuration &c) const
{
    for (size_t i = 0; i < 8; ++i) {
        c.u_ana[i] = unit_[i]->text();
        c.coeff[i] = coeff_[i]->text();
    }
    c.ana_j = QString::number(Combo3_->currentIndex());
    c.ana_h = Text3_->text();
}
