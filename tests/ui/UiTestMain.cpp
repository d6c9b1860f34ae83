// Runs every window test class on one application object, with the C locale so number texts read
// the same everywhere.

#include "UiTests.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale::c());
    // Recent files and other settings go to a folder of the run's own, never the user's.
    QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName(QStringLiteral("TessalyTest"));
    QApplication::setApplicationName(QStringLiteral("TessalyTest"));
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
        tessaly::test::ConventionsTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    {
        tessaly::test::PlotWindowTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    {
        tessaly::test::SimulationRunTest t;
        failures += QTest::qExec(&t, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
