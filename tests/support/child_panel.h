#pragma once
// A test executable started again as a panel of its own (a child process):
// the program's real start-up, then lines read from standard input. The words
// of a line are timed from the line's arrival, a number adding that many
// milliseconds for the words after it:
//
//   on          click the master switch       all        "Sorties à 1"
//   zero        "Sorties à 0" (which also closes the port)
//   cyclic-a    arm the analog cyclic mode, every 2 s     cyclic-l  the logic one
//   manual-a    "Acquisition Manuelle" (analog)           manual-l  (logic)
//   journal     "Journal continu…" into journal.csv      save      "Enregistrer la configuration"
//   quit        "Fichier" / "Quitter"          close      a close request from the desktop
//   app-quit    the application asked to quit (its windows are asked to close)
//   app-exit    the event loop ended at once, without closing anything
//   qfatal, abort, terminate, segv   the ways a process dies
//   hang        the window stops answering
//
// The child says "ready" on standard output once its window is shown. With
// PRAMELOR_CHILD_DIR set, its files (param.ini, the user's settings, the
// journal) go to that folder.

#include "controls.h"
#include "shell/form1.h"
#include "shell/startup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>
#include <exception>
#include <sys/mman.h>
#include <unistd.h>

namespace panel {

class ChildScript : public QObject {
public:
    explicit ChildScript(Form1 &form) : QObject(&form), form_(form)
    {
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input, &QSocketNotifier::activated, this, [this, input] {
            char bytes[512];
            const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
            if (n <= 0) {
                input->setEnabled(false);  // the test closed its end
                return;
            }
            pending_ += QByteArray(bytes, int(n));
            for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1))
                play(QString::fromUtf8(pending_.left(end)).split(u' ', Qt::SkipEmptyParts));
        });
        std::printf("ready\n");
        std::fflush(stdout);
    }

private:
    // Every word is put on the clock at once, so that a word which keeps
    // the window busy (a close that waits) does not hold back the next ones.
    void play(const QStringList &words)
    {
        int at = 0;
        for (const QString &word : words) {
            bool isNumber = false;
            const int ms = word.toInt(&isNumber);
            if (isNumber)
                at += ms;
            else
                QTimer::singleShot(at, Qt::PreciseTimer, this, [this, word] { act(word); });
        }
    }

    void click(const char *name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }

    template <class T>
    T *child(const char *name)
    {
        return control<T>(&form_, QString::fromLatin1(name));
    }

    void act(const QString &word)
    {
        if (word == u"on") {
            click("Image2");
        } else if (word == u"all") {
            click("Command10");
        } else if (word == u"zero") {
            click("Command9");
        } else if (word == u"cyclic-a") {
            startCyclic(&form_, true, QStringLiteral("Toutes les 2 secondes"));
        } else if (word == u"cyclic-l") {
            startCyclic(&form_, false, QStringLiteral("Toutes les 2 secondes"));
        } else if (word == u"manual-a") {
            click("Command12");
        } else if (word == u"manual-l") {
            click("Command13");
        } else if (word == u"journal") {
            child<QAction>("n_journal")->trigger();
        } else if (word == u"save") {
            child<QAction>("n_enr_param")->trigger();
        } else if (word == u"quit") {
            child<QAction>("n_quitter")->trigger();
        } else if (word == u"close") {
            // What the window system delivers when the close box is clicked.
            QCloseEvent request;
            QCoreApplication::sendEvent(form_.windowHandle(), &request);
        } else if (word == u"app-quit") {
            QCoreApplication::quit();
        } else if (word == u"app-exit") {
            QCoreApplication::exit(0);
        } else if (word == u"qfatal") {
            qFatal("fatal message asked for by the test");
        } else if (word == u"abort") {
            std::abort();
        } else if (word == u"terminate") {
            std::terminate();
        } else if (word == u"segv") {
            // A real fault, on a page nothing may touch.
            void *page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            *static_cast<volatile char *>(page) = 1;
        } else if (word == u"hang") {
            for (;;) ::pause();
        } else {
            qWarning("unknown word %s", qPrintable(word));
        }
    }

    Form1 &form_;
    QByteArray pending_;
};

// main() of a test executable hands over here when started with --child-panel.
inline int childPanelMain(int argc, char **argv)
{
    QApplication app(argc, argv);
    Form1::Setup setup;
    if (const QString dir = qEnvironmentVariable("PRAMELOR_CHILD_DIR"); !dir.isEmpty()) {
        setup.programDir = dir;
        setup.userDir = dir + QStringLiteral("/config");
        setup.askPath = [dir](bool, const QString &) { return dir + QStringLiteral("/journal.csv"); };
    }
    return shell::runPanel(
        app, [](Form1 &form) { new ChildScript(form); }, setup);
}

}  // namespace panel
