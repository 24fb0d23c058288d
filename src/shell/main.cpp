#include "shell/form1.h"

#include <QApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    // A write beyond the user's file-size limit then fails with an error the
    // panel reports (the journal stops) instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pramelor"));
    Form1 form;
    form.show();
    return app.exec();
}
