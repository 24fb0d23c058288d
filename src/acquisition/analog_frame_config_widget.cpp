// The analog frame's part of "param.ini": each channel's unit and
// coefficient, and the day and hour of the programmed acquisition, read into
// and taken from the frame's engine (the controls show what it holds).
#include "acquisition/analog_frame_widget.h"
#include "engine/frame_engine.h"
#include "files/configuration.h"

#include <QComboBox>

void AnalogFrame::loadFrom(const files::Configuration &c)
{
    // A setting the file lacks keeps its starting value: an empty unit and a
    // coefficient 0 would only hide the readings.
    for (int k = 1; k <= 8; ++k) {
        const QString n = QString::number(k);
        if (c.has(QStringLiteral("u_ana") + n)) engine_.setUnit(k, c.u_ana[size_t(k - 1)]);
        if (c.has(QStringLiteral("coeff") + n))
            engine_.setCoefficient(k, files::coefficientSetting(c.coeff[size_t(k - 1)]));
    }
    // A list position is kept only when the list has it.
    if (c.has(QStringLiteral("ana_j8")))
        if (const auto day = files::wholeSetting(c.ana_j, -1, Combo3_->count() - 1)) engine_.setDayIndex(*day);
    if (c.has(QStringLiteral("ana_h8"))) engine_.setHourText(c.ana_h);
}

void AnalogFrame::saveTo(files::Configuration &c) const
{
    for (int k = 1; k <= 8; ++k) {
        c.u_ana[size_t(k - 1)] = engine_.unit(k);
        c.coeff[size_t(k - 1)] = engine_.coefficient(k);
    }
    c.ana_j = QString::number(engine_.dayIndex());
    c.ana_h = engine_.hourText();
}
