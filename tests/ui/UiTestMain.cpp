// Runs every window test class on one application object, with the C locale so number texts read
// the same everywhere.

#include "UiTests.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale::c());
    int failures = 0;
    {
        tessaly::test::MenuTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    {
        tessaly::test::DialogTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    {
        tessaly::test::PlotWindowTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
