#pragma once
// pramelord's signals. SIGTERM and SIGINT (and the others a user or the
// system sends to end a process: SIGUSR1, SIGUSR2, SIGPWR, SIGIO, SIGALRM)
// ask for the orderly shutdown; SIGHUP asks to read the bench file again.
// The handlers only write the signal's number into a pipe the event loop
// watches. Should the event loop not answer within 3 s of the first end
// request, the handler side writes the all-off command and the signal takes
// its usual course. The faults and abort write the all-off command at once,
// and so does an exit() that skips the shutdown. SIGPIPE and SIGXFSZ are
// ignored: the write fails and says so instead.

#include <QObject>

namespace service {

class EndSignals : public QObject {
    Q_OBJECT
public:
    // Once per process, before the bench exists.
    static void install();
    explicit EndSignals(QObject *parent = nullptr);
    // The orderly shutdown has run: the 3 s guard is no longer needed.
    static void ended();

signals:
    void endRequested(int signal);
    void reloadRequested();
};

}  // namespace service
