// Entry point of the demo's form tests: a widget application in the "C"
// locale, with a private component registry and host settings.

#include "scoped_env.h"

#include <QApplication>
#include <QLocale>

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
    return RUN_ALL_TESTS();
}
