#include "shell/desktop_start.h"
#include "shell/startup.h"

#include <QApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    if (const auto code = desktop::answerCommandLine(argc, argv)) return *code;
    // A write beyond the user's file-size limit then fails with an error the
    // panel reports (the journal stops) instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    desktop::prepareApplication(app);
    return shell::runPanel(app);
}
