#pragma once
// What the acquisition frames need from the main window: the master switch,
// the request chain on the serial link, the receive buffer and the clock.

#include "acquisition/channel.h"

#include <QString>

class Clock;
struct Tables;

class AcquisitionHost {
public:
    virtual ~AcquisitionHost() = default;
    virtual bool switchedOn() const = 0;  // marche == 1
    // The start of one acquisition once the switch is on: pause the output
    // command, empty the receive buffer and arm the request sender (the bench
    // sends "nA" / "nL" 400 ms later and hands the reply to the frame's decode
    // once its decoding delay has run out).
    // False when the start is held because the other frame's acquisition still
    // awaits its decoding: it proceeds once that decoding has run, and the
    // window then calls heldStartReleased on the frame.
    virtual bool beginRequest(Channel channel) = 0;
    virtual const Clock &clock() const = 0;
    virtual Tables &tables() = 0;
    virtual void showStatus(const QString &message) = 0;  // the status line
    // Whether the continuous journal records every acquisition.
    virtual bool journalRunning() const { return false; }
    virtual QString statusText() const = 0;
    // The serial line itself fails (its reason is in the status line).
    virtual bool linkFailing() const { return false; }

    // After a decoding: a buffer without the frame's markers means the board
    // did not answer, which the status line says (unless it already says why:
    // the line failing); the next reply takes that sentence back (and only
    // that one).
    void sayWhetherAnswered(bool answered, const QString &silence)
    {
        if (!answered && !linkFailing())
            showStatus(silence);
        else if (answered && statusText() == silence)
            showStatus(QString());
    }
};
