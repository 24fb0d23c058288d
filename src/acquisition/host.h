#pragma once
// What the acquisition frames need from the main window: the master switch,
// the request chain on the serial link, the receive buffer and the clock.

#include <QString>

class Clock;
struct Tables;

enum class Channel { Analog, Logic };

class AcquisitionHost {
public:
    virtual ~AcquisitionHost() = default;
    virtual bool switchedOn() const = 0;  // marche == 1
    // The start of one acquisition once the switch is on: pause the output
    // command, empty the receive buffer and arm the request sender (the window
    // sends "nA" / "nL" 400 ms later and then calls requestSent on the frame).
    virtual void beginRequest(Channel channel) = 0;
    virtual QString receiveBuffer() const = 0;
    virtual const Clock &clock() const = 0;
    virtual Tables &tables() = 0;
    virtual void showStatus(const QString &message) = 0;  // the status line
    // Whether the continuous journal records every acquisition.
    virtual bool journalRunning() const { return false; }
};
