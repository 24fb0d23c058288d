// The outputs frame's part of "param.ini": the start and end time of each output.
#include "files/configuration.h"
#include "outputs/outputs_frame_widget.h"
#include "ui/controls.h"

void OutputsFrame::loadFrom(const files::Configuration &c)
{
    // A setting the file lacks keeps the box's starting text.
    for (size_t i = 0; i < 8; ++i) {
        if (c.has(QStringLiteral("heure%1").arg(i))) heure1[i]->setText(c.heure1[i]);
        if (c.has(QStringLiteral("heure2%1").arg(i))) heure2[i]->setText(c.heure2[i]);
    }
}

void OutputsFrame::saveTo(files::Configuration &c) const
{
    for (size_t i = 0; i < 8; ++i) {
        c.heure1[i] = heure1[i]->text();
        c.heure2[i] = heure2[i]->text();
    }
}
