// Entry point of every test program: a Qt application object (some platform
// services need one), the "C" locale so that number formatting is pinned, and a
// private component registry so that no test reads or writes the user's own.

#include "scoped_env.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    vok::test::ScopedRegistry registry;
    vok::test::ScopedEnv settings("VOK_SETTINGS", QByteArray(registry.folder().toLocal8Bit() + "/settings.ini"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
