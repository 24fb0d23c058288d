#include "shell/desktop_start.h"
#include "shell/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const auto code = desktop::answerCommandLine(argc, argv)) return *code;
    QApplication app(argc, argv);
    desktop::prepareApplication(app);
    Form1 form;
    desktop::showFitted(form);
    return app.exec();
}
