// The graph frame's part of "param.ini": the number of acquisitions.
#include "files/configuration.h"
#include "graph/graph_frame_widget.h"

#include <QLabel>
#include <QScrollBar>

// The number goes through the scroll bar, which sets the tables' count and
// its caption; a value the bar cannot take keeps the bar where it is.
void GraphFrame::loadFrom(const files::Configuration &c)
{
    if (const auto n = files::wholeSetting(c.nbre_acqui, HScroll1_->minimum(), HScroll1_->maximum()))
        HScroll1_->setValue(*n);
}

void GraphFrame::saveTo(files::Configuration &c) const { c.nbre_acqui = Label61_->text(); }
