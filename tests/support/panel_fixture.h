#pragma once
// The window against the simulated board over a pseudo-terminal, for the
// long-running tests: setting both frames cycling, counting what the board
// received, and the process figures (resident memory, CPU time).

#include "controls.h"
#include "core/board.h"
#include "link/serial_component.h"
#include "process_stats.h"
#include "shell/form1.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace panel {

using ::cpuSeconds;
using ::residentMb;

// A length (seconds, minutes, megabytes) from an environment variable, else
// the given default.
inline int lengthFromEnv(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// The analog values the simulated board answers with in most tests.
constexpr std::array<int, 8> kValues{100, 50, 255, 12, 1, 2, 3, 200};

struct Bench {
    QTemporaryDir dir;
    std::unique_ptr<sim::PtyBoard> board;
    std::unique_ptr<Form1> form;

    int port = 1;

    QString linkPath() const { return dir.filePath(QStringLiteral("com%1").arg(port)); }

    // A board behind COMn and the window in front of it, not yet switched
    // on. Windows on different ports run side by side in one test; adjust
    // may change the window's setup (its file dialogs …).
    bool open(int portNumber = 1, const std::function<void(Form1::Setup &)> &adjust = {})
    {
        port = portNumber;
        qputenv(qPrintable(QStringLiteral("PRAMELOR_COM%1").arg(port)), linkPath().toLocal8Bit());
        board = std::make_unique<sim::PtyBoard>(linkPath());
        if (!board->isPlugged()) return false;
        makeForm(adjust);
        return true;
    }
    // The window (again), in front of the board already there.
    void makeForm(const std::function<void(Form1::Setup &)> &adjust = {})
    {
        form.reset();
        Form1::Setup setup;
        setup.programDir = dir.path();
        setup.quitApplication = false;
        setup.askText = [](const QString &, const QString &, const QString &) { return QString(); };
        if (adjust) adjust(setup);
        form = std::make_unique<Form1>(setup);
        form->MSComm1().setPortNumber(port);
        form->show();
    }
    void close()
    {
        form.reset();
        board.reset();
    }

    template <class T>
    T *child(const QString &name) const
    {
        return control<T>(form.get(), name);
    }
    void click(const QString &name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }
    void press(const QString &name) { QTest::mousePress(child<QWidget>(name), Qt::LeftButton); }

    void startCyclic(bool analog, const QString &interval) { panel::startCyclic(form.get(), analog, interval); }
    void memorise(bool on)
    {
        child<QCheckBox>(QStringLiteral("memo_a"))->setChecked(on);
        child<QCheckBox>(QStringLiteral("memo_l"))->setChecked(on);
    }
    std::vector<sim::Received> of(sim::Command kind) const
    {
        std::vector<sim::Received> out;
        for (const auto &r : board->received())
            if (r.kind == kind) out.push_back(r);
        return out;
    }
};

inline QString bitsOf(int byte)
{
    QString s;
    for (int i = 0; i < 8; ++i) s += (byte >> i) & 1 ? u'1' : u'0';
    return s;  // index 0 = input 1
}

}  // namespace panel
