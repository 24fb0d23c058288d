// The outputs frame's part of "param.ini": the start and end time of each output.
#include "files/configuration.h"
#include "outputs/outputs_frame_widget.h"
#include "ui/controls.h"

void OutputsFrame::loadFrom(const files::Configuration &c)
{
    // A setting the file lacks keeps its starting text.
    Bench::Timetable rows = bench_.timetable();
    for (size_t i = 0; i < 8; ++i) {
        if (c.has(QStringLiteral("heure%1").arg(i))) rows[i].start = c.heure1[i];
        if (c.has(QStringLiteral("heure2%1").arg(i))) rows[i].end = c.heure2[i];
    }
    bench_.setTimetable(rows);
}

void OutputsFrame::saveTo(files::Configuration &c) const
{
    for (size_t i = 0; i < 8; ++i) {
        c.heure1[i] = bench_.timetable()[i].start;
        c.heure2[i] = bench_.timetable()[i].end;
    }
}
