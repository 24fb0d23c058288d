#pragma once
// What the bench does for the acquisition frames, written down instead of done.

#include "acquisition/tables.h"
#include "engine/frame_engine.h"
#include "support/fake_clock.h"

#include <QStringList>

class FakeLine : public FrameLine {
public:
    bool on = true, hold = false, linkDown = false, journal = false;
    FakeClock clk;
    QStringList starts;  // "A 12:00:10" / "L 12:00:10" / "held 12:00:10", one per start

    bool switchedOn() const override { return on; }
    bool beginRequest(Channel channel) override
    {
        const QString who = hold ? QStringLiteral("held") : QString(channel == Channel::Analog ? u'A' : u'L');
        starts << who + u' ' + text::timeText(clk);
        return !hold;
    }
    const Clock &clock() const override { return clk; }
    bool linkFailing() const override { return linkDown; }
    bool journalRunning() const override { return journal; }
};

// Both frame engines on one stand-in line and one set of tables.
struct FrameBed {
    FakeLine line;
    Tables tabs;
    FrameEngine analog{Channel::Analog, line, tabs};
    FrameEngine logic{Channel::Logic, line, tabs};
};
