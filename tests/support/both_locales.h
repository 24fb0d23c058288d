#pragma once
// main() of the journal browser's tests: local times read in a zone with
// clock changes, and every case run under a point and a comma locale.

#include <QLocale>
#include <QTest>
#include <clocale>
#include <ctime>

namespace panel {

template <class Test, class Application>
int runUnderBothLocales(int argc, char **argv)
{
    qputenv("TZ", "Europe/Paris");
    tzset();
    Application app(argc, argv);
    int failed = 0;
    for (const bool french : {false, true}) {
        std::setlocale(LC_ALL, french ? "fr_FR.UTF-8" : "C");
        QLocale::setDefault(french ? QLocale(QLocale::French, QLocale::France) : QLocale::c());
        Test t;
        failed += QTest::qExec(&t, argc, argv);
    }
    return failed;
}

}  // namespace panel
