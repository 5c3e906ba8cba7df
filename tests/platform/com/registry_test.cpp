#include "error_number.h"
#include "platform/com/registry.h"
#include "platform/vb/error.h"

#include "scoped_env.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using com::Registry;

const QString ServerKey = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90}\\InprocServer32");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RegistryTest : public ::testing::Test {
protected:
    vok::test::ScopedRegistry scope;
};

TEST_F(RegistryTest, ValuesSurviveTheFile)
{
    const std::vector<std::pair<QString, QString>> values{
        {QString(), QStringLiteral("/usr/lib/vok/libarticulo.so")},
        {QStringLiteral("Quoted"), QStringLiteral("say \"hi\"")},
        {QStringLiteral("Path"), QStringLiteral("C:\\Archivos\\\\vok\\")},
        {QStringLiteral("Art\u00edculo"), QStringLiteral("Descripci\u00f3n \u20ac")},
        {QStringLiteral("Lines"), QStringLiteral("one\ntwo\r\n")},
        {QStringLiteral("Name \"with\" \\quotes"), QString()},
    };
    for (const auto &[name, value] : values)
        Registry().setValue(ServerKey, name, value);
    const Registry reread;
    for (const auto &[name, value] : values)
        EXPECT_EQ(reread.value(ServerKey, name), value) << name.toStdString();

    const QByteArray text = readAll(scope.path());
    EXPECT_TRUE(text.startsWith("VOK Registry 1\n\n[" + ServerKey.toUtf8() + "]\n@=\"/usr/lib/vok/libarticulo.so\"\n"
                                "\"Quoted\"=\"say \\\"hi\\\"\"\n")) << text.constData();
}

TEST_F(RegistryTest, LookupIgnoresCaseButKeepsFirstSpelling)
{
    Registry registry;
    registry.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\Vok.Articulo"), QStringLiteral("Version"), QStringLiteral("1"));
    registry.setValue(QStringLiteral("hkey_classes_root\\VOK.ARTICULO\\"), QStringLiteral("VERSION"), QStringLiteral("2"));

    const Registry reread;
    EXPECT_EQ(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\vok.articulo"), QStringLiteral("version")), QStringLiteral("2"));
    EXPECT_FALSE(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\Vok.Articulo")));  // no default value
    EXPECT_FALSE(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\Vok")));
    EXPECT_TRUE(readAll(scope.path()).endsWith("[HKEY_CLASSES_ROOT\\Vok.Articulo]\n\"Version\"=\"2\"\n"));
}

TEST_F(RegistryTest, RemoveKeyTakesItsSubtreeOnly)
{
    Registry().removeKey(QStringLiteral("HKEY_CLASSES_ROOT\\Nowhere"));
    EXPECT_FALSE(QFile::exists(scope.path()));

    Registry registry;
    for (const char *key : {"HKEY_CLASSES_ROOT\\CLSID\\{A}", "HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32\\Deeper",
                            "HKEY_CLASSES_ROOT\\CLSID\\{A}B", "HKEY_CLASSES_ROOT\\Vok.A\\CLSID", "HKEY_CLASSES_ROOT\\vok.a"})
        registry.setValue(QString::fromLatin1(key), QString(), QStringLiteral("v"));
    EXPECT_EQ(registry.subKeys(QStringLiteral("hkey_classes_root")),
              QStringList({QStringLiteral("CLSID"), QStringLiteral("Vok.A")}));

    registry.removeKey(QStringLiteral("hkey_classes_root\\clsid\\{a}"));
    const Registry reread;
    EXPECT_FALSE(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}")));
    EXPECT_FALSE(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32\\Deeper")));
    EXPECT_TRUE(reread.value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}B")));
    EXPECT_EQ(reread.subKeys(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID")), QStringList{QStringLiteral("{A}B")});

    const QByteArray before = readAll(scope.path());
    EXPECT_NO_THROW(registry.removeKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}")));
    EXPECT_EQ(readAll(scope.path()), before);
}

// What this process read is kept while the file stays as it was; whatever
// another process or a hand edit does to the file shows at the next read.
TEST_F(RegistryTest, ChangesByOthersShowAtTheNextRead)
{
    const QString key = QStringLiteral("HKEY_CLASSES_ROOT\\Vok.Articulo");
    const auto entry = [](const char *value) {
        return QByteArray("VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Vok.Articulo]\n@=\"") + value + "\"\n";
    };
    const struct {
        const char *change;
        std::function<void(const QString &)> make;
        std::optional<QString> seen;
    } cases[] = {
        {"written over in place, same length", [&](const QString &path) { vok::test::writeFile(path, entry("y")); }, u"y"_qs},
        {"written over in place, longer", [&](const QString &path) { vok::test::writeFile(path, entry("longer")); }, u"longer"_qs},
        {"replaced by another writer",
         [&](const QString &) { Registry().setValue(key, QString(), QStringLiteral("z")); }, u"z"_qs},
        {"removed", [](const QString &path) { QFile::remove(path); }, std::nullopt},
    };
    for (const auto &c : cases) {
        vok::test::writeFile(scope.path(), entry("x"));
        ASSERT_EQ(Registry().value(key), u"x"_qs) << c.change;
        c.make(scope.path());
        EXPECT_EQ(Registry().value(key), c.seen) << c.change;
    }
}

TEST_F(RegistryTest, ParseErrorsNameFileAndLine)
{
    const struct {
        const char *content;
        int line;
    } cases[] = {
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\X]\n", 1},
        {"VOK Registry 1\n\n@=\"orphan\"\n", 3},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X\n", 3},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=\"open\n", 4},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n\n@=\"bad \\q escape\"\n", 5},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=dword:00000001\n", 4},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=\"\xC3\x28\"\n", 4},
    };
    for (const auto &c : cases) {
        vok::test::writeFile(scope.path(), c.content);
        SCOPED_TRACE(c.content);
        const vb::Error error = vok::test::errorRaisedBy([] { Registry registry; });
        EXPECT_EQ(error.number(), Registry::InvalidFileFormat);
        EXPECT_TRUE(error.description().contains(scope.path() + QStringLiteral(", line %1:").arg(c.line)))
            << error.what();
    }
}

// The package registers its components in the system's registry; a user
// without a registry of their own sees them, and changes only their own file.
TEST(RegistryFile, UserWithoutAFileReadsTheSystemsAndWritesTheirOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("second/vok"))));
    const QString systemFile = vok::test::writeFile(
        dir.filePath(QStringLiteral("second/vok/registry.reg")),
        "VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Installed]\n@=\"system\"\n");
    const QByteArray systemText = readAll(systemFile);
    const QString dirs = dir.filePath(QStringLiteral("first")) + u':' + dir.filePath(QStringLiteral("second"));
    vok::test::ScopedEnv configDirs("XDG_CONFIG_DIRS", dirs.toUtf8());
    vok::test::ScopedEnv configHome("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("home")).toUtf8());
    vok::test::ScopedEnv explicitRegistry("VOK_REGISTRY", "");
    const QString installed = QStringLiteral("HKEY_CLASSES_ROOT\\Installed");
    const QString own = QStringLiteral("HKEY_CLASSES_ROOT\\Own");

    EXPECT_EQ(Registry::systemPath(), systemFile);
    EXPECT_EQ(Registry().value(installed), QStringLiteral("system"));

    Registry().setValue(own, QString(), QStringLiteral("user"));
    EXPECT_EQ(readAll(systemFile), systemText);
    const Registry user(Registry::defaultPath());
    EXPECT_EQ(user.value(own), QStringLiteral("user"));
    EXPECT_EQ(user.value(installed), QStringLiteral("system"));

    // Once the user has a file, the system's is no longer read.
    vok::test::writeFile(systemFile, "VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Later]\n@=\"system\"\n");
    EXPECT_FALSE(Registry().value(QStringLiteral("HKEY_CLASSES_ROOT\\Later")));

    // $VOK_REGISTRY names the only registry read.
    vok::test::ScopedEnv elsewhere("VOK_REGISTRY", dir.filePath(QStringLiteral("explicit.reg")).toUtf8());
    EXPECT_FALSE(Registry().value(installed));

    vok::test::ScopedEnv noSystem("XDG_CONFIG_DIRS", dir.filePath(QStringLiteral("first")).toUtf8());
    EXPECT_EQ(Registry::systemPath(), QString());
}

} // namespace
