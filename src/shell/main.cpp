#include "shell/command_line.h"
#include "shell/desktop_start.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const auto code = desktop::answerCommandLine(argc, argv)) return *code;
    if (const auto code = desktop::refuseToStart(argc, argv)) return *code;
    QApplication app(argc, argv);
    desktop::displayReached();
    desktop::prepareApplication(app);
    return shell::runPanel(app);
}
