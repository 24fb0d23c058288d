#include "shell/startup.h"

#include "shell/desktop_start.h"
#include "shell/form1.h"
#include "shell/shutdown.h"

#include <QApplication>

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace shell {

int runPanel(QApplication &app, const std::function<void(Form1 &)> &ready, Form1::Setup setup)
{
    installEndGuards();
    Form1 form(std::move(setup));
    watchTerminationSignals(form);
#if QT_CONFIG(sessionmanager)
    // The desktop session ends: the same shutdown as a close of the window.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager &) { form.beginShutdown(); });
#endif
    // Anything that ends the event loop without the shutdown (the session
    // manager's last word) still leaves the relays off.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, &Form1::endAtOnce);
    desktop::showFitted(form);
    if (ready) ready(form);
    return app.exec();
}

}  // namespace shell
