// A program built on the engine library alone: it must link and run without
// QtGui or QtWidgets (check_engine_alone.cmake looks at what it needs).
#include "engine/bench.h"
#include "files/configuration.h"
#include "text/clock.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SystemClock clock;
    Bench bench(clock);
    bench.allOutputsOn();
    const files::Configuration c = files::readConfiguration(QString());
    std::printf("%d %d\n", int(bench.outputByte()), int(c.com.size()));
    return bench.outputByte() == 0xFF ? 0 : 1;
}
