#pragma once
// Tests under a point and a comma (French) locale: the locale set by a
// data row, and main() for tests that run every case under both.

#include <QLocale>
#include <QTest>
#include <clocale>
#include <ctime>

namespace panel {

inline void useLocale(bool french)
{
    QLocale::setDefault(french ? QLocale(QLocale::French, QLocale::France) : QLocale::c());
}

// The rows "point" and "comma" of a data table, in a column "french".
inline void addLocaleRows()
{
    QTest::addColumn<bool>("french");
    QTest::newRow("point") << false;
    QTest::newRow("comma") << true;
}

// local times read in a zone with clock changes, every case under both.
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
