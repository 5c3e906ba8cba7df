#include "error_number.h"
#include "host/ini_file.h"
#include "platform/vb/error.h"

#include "qt_printers.h"
#include "scoped_env.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(IniFileTest, ReadsSectionsAndKeysWithoutRegardToCase)
{
    QTemporaryDir dir;
    const auto ini = host::IniFile::read(vok::test::writeFile(dir.filePath("settings.ini"), "; host settings\n[VOK04]\nIdioma = 2\nIdioma2=\n\n"
                                                    "[Otra]\r\nIdioma=7\r\n# comment\nRuta=C:\\Programas\\Ventas\n"));
    EXPECT_EQ(ini.value("vok04", "IDIOMA"), "2");
    EXPECT_EQ(ini.value("VOK04", "Idioma2"), "");
    EXPECT_EQ(ini.value("otra", "idioma"), "7");
    EXPECT_EQ(ini.value("Otra", "Ruta"), "C:\\Programas\\Ventas");
    EXPECT_EQ(ini.value("VOK04", "Ruta"), std::nullopt);
    EXPECT_EQ(ini.value("VOK05", "Idioma"), std::nullopt);
}

TEST(IniFileTest, MissingFileReadsAsEmpty)
{
    EXPECT_EQ(host::IniFile::read("/nonexistent/settings.ini").value("VOK04", "Idioma"), std::nullopt);
}

TEST(IniFileTest, MalformedLineNamesFileAndLine)
{
    QTemporaryDir dir;
    const QString path = vok::test::writeFile(dir.filePath("settings.ini"), "[VOK04]\nIdioma=1\nthis is not a setting\n");
    const QString said = vok::test::errorRaisedBy([&] { host::IniFile::read(path); }).description();
    EXPECT_TRUE(said.contains(path)) << said.toStdString();
    EXPECT_TRUE(said.contains("line 3")) << said.toStdString();
}

} // namespace
