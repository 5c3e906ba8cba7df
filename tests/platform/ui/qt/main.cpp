// Entry point of the Qt toolkit tests: a widget application (the windows
// under test are real widgets), the "C" locale so that number formatting is
// pinned, and a private component registry as in every other test program.
// The raster painter hands work to Qt's global thread pool; its threads are
// joined before the program ends, or the leak checker can catch one of them
// half torn down and report its thread data as lost.

#include "scoped_env.h"

#include <QApplication>
#include <QLocale>
#include <QThreadPool>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    vok::test::ScopedRegistry registry;
    vok::test::ScopedEnv settings("VOK_SETTINGS", QByteArray(registry.folder().toLocal8Bit() + "/settings.ini"));
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    QThreadPool::globalInstance()->waitForDone();
    return failed;
}
