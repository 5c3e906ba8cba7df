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

const QString ServerKey = u"HKEY_CLASSES_ROOT\\CLSID\\{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90}\\InprocServer32"_qs;

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
        {QString(), u"/usr/lib/vok/libarticulo.so"_qs},  {u"Quoted"_qs, u"say \"hi\""_qs},
        {u"Path"_qs, u"C:\\Archivos\\\\vok\\"_qs},         {u"Art\u00edculo"_qs, u"Descripci\u00f3n \u20ac"_qs},
        {u"Lines"_qs, u"one\ntwo\r\n"_qs},                 {u"Name \"with\" \\quotes"_qs, QString()},
    };
    for (const auto &[name, value] : values)
        Registry().setValue(ServerKey, name, value);
    const Registry reread;
    for (const auto &[name, value] : values)
        EXPECT_EQ(reread.value(ServerKey, name), value) << name.toStdString();

    EXPECT_TRUE(readAll(scope.path()).startsWith("VOK Registry 1\n\n[" + ServerKey.toUtf8() + "]\n@=\"/usr/lib/vok/libarticulo.so\"\n"
                                "\"Quoted\"=\"say \\\"hi\\\"\"\n"));
}

TEST_F(RegistryTest, LookupIgnoresCaseButKeepsFirstSpelling)
{
    Registry registry;
    registry.setValue(u"HKEY_CLASSES_ROOT\\Vok.Articulo"_qs, u"Version"_qs, u"1"_qs);
    registry.setValue(u"hkey_classes_root\\VOK.ARTICULO\\"_qs, u"VERSION"_qs, u"2"_qs);
    const Registry reread;
    EXPECT_EQ(reread.value(u"HKEY_CLASSES_ROOT\\vok.articulo"_qs, u"version"_qs), u"2"_qs);
    EXPECT_FALSE(reread.value(u"HKEY_CLASSES_ROOT\\Vok.Articulo"_qs)); // no default value
    EXPECT_FALSE(reread.value(u"HKEY_CLASSES_ROOT\\Vok"_qs));
    EXPECT_TRUE(readAll(scope.path()).endsWith("[HKEY_CLASSES_ROOT\\Vok.Articulo]\n\"Version\"=\"2\"\n"));
}

TEST_F(RegistryTest, RemoveKeyTakesItsSubtreeOnly)
{
    Registry().removeKey(u"HKEY_CLASSES_ROOT\\Nowhere"_qs);
    EXPECT_FALSE(QFile::exists(scope.path()));
    Registry registry;
    for (const char *key : {"HKEY_CLASSES_ROOT\\CLSID\\{A}", "HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32\\Deeper",
                            "HKEY_CLASSES_ROOT\\CLSID\\{A}B", "HKEY_CLASSES_ROOT\\Vok.A\\CLSID", "HKEY_CLASSES_ROOT\\vok.a"})
        registry.setValue(QString::fromLatin1(key), QString(), u"v"_qs);
    EXPECT_EQ(registry.subKeys(u"hkey_classes_root"_qs), QStringList({u"CLSID"_qs, u"Vok.A"_qs}));
    registry.removeKey(u"hkey_classes_root\\clsid\\{a}"_qs);
    const Registry reread;
    EXPECT_FALSE(reread.value(u"HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32\\Deeper"_qs));
    EXPECT_EQ(reread.subKeys(u"HKEY_CLASSES_ROOT\\CLSID"_qs), QStringList{u"{A}B"_qs});
    const QByteArray before = readAll(scope.path());
    EXPECT_NO_THROW(registry.removeKey(u"HKEY_CLASSES_ROOT\\CLSID\\{A}"_qs));
    EXPECT_EQ(readAll(scope.path()), before);
}

TEST_F(RegistryTest, AValueSetToWhatItHoldsLeavesTheFileUnwritten)
{
    // Laid out as no save would lay it: a save would show.
    const QByteArray byHand = "VOK Registry 1\n\n\n[HKEY_CLASSES_ROOT\\Vok.Articulo]\n@=\"x\"\n";
    vok::test::writeFile(scope.path(), byHand);
    Registry().setValue(u"hkey_classes_root\\vok.articulo"_qs, QString(), u"x"_qs);
    EXPECT_EQ(readAll(scope.path()), byHand);
    Registry().setValue(u"HKEY_CLASSES_ROOT\\Vok.Articulo"_qs, QString(), u"X"_qs);
    EXPECT_EQ(Registry().value(u"HKEY_CLASSES_ROOT\\Vok.Articulo"_qs), u"X"_qs);
}

// What this process read is kept while the file stays as it was; whatever
// another process or a hand edit does to the file shows at the next read.
TEST_F(RegistryTest, ChangesByOthersShowAtTheNextRead)
{
    const QString key = QStringLiteral("HKEY_CLASSES_ROOT\\Vok.Articulo");
    const auto entry = [](const char *value) {
        return QByteArray("VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Vok.Articulo]\n@=\"") + value + "\"\n";
    };
    const std::pair<std::function<void(const QString &)>, std::optional<QString>> cases[] = {
        {[&](const QString &path) { vok::test::writeFile(path, entry("y")); }, u"y"_qs}, // in place, same length
        {[&](const QString &path) { vok::test::writeFile(path, entry("longer")); }, u"longer"_qs},
        {[&](const QString &) { Registry().setValue(key, QString(), u"z"_qs); }, u"z"_qs}, // another writer
        {[](const QString &path) { QFile::remove(path); }, std::nullopt},
    };
    for (const auto &[change, seen] : cases) {
        vok::test::writeFile(scope.path(), entry("x"));
        ASSERT_EQ(Registry().value(key), u"x"_qs);
        change(scope.path());
        EXPECT_EQ(Registry().value(key), seen);
    }
}

TEST_F(RegistryTest, ParseErrorsNameFileAndLine)
{
    const std::pair<const char *, int> cases[] = {
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\X]\n", 1},
        {"VOK Registry 1\n\n@=\"orphan\"\n", 3},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X\n", 3},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=\"open\n", 4},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n\n@=\"bad \\q escape\"\n", 5},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=dword:00000001\n", 4},
        {"VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\X]\n@=\"\xC3\x28\"\n", 4},
    };
    for (const auto &[content, line] : cases) {
        vok::test::writeFile(scope.path(), content);
        const vb::Error error = vok::test::errorRaisedBy([] { Registry registry; });
        EXPECT_EQ(error.number(), Registry::InvalidFileFormat) << content;
        EXPECT_TRUE(error.description().contains(scope.path() + u", line %1:"_qs.arg(line))) << error.what();
    }
}

// The package registers its components in the system's registry; a user
// without a registry of their own sees them, and changes only their own file.
TEST(RegistryFile, UserWithoutAFileReadsTheSystemsAndWritesTheirOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"second/vok"_qs)));
    const QString systemFile = vok::test::writeFile(dir.filePath(u"second/vok/registry.reg"_qs),
                                                    "VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Installed]\n@=\"system\"\n");
    const QByteArray systemText = readAll(systemFile);
    vok::test::ScopedEnv configDirs("XDG_CONFIG_DIRS", (dir.filePath(u"first"_qs) + u':' + dir.filePath(u"second"_qs)).toUtf8());
    vok::test::ScopedEnv configHome("XDG_CONFIG_HOME", dir.filePath(u"home"_qs).toUtf8());
    vok::test::ScopedEnv explicitRegistry("VOK_REGISTRY", "");
    const QString installed = u"HKEY_CLASSES_ROOT\\Installed"_qs, own = u"HKEY_CLASSES_ROOT\\Own"_qs;
    EXPECT_EQ(Registry::systemPath(), systemFile);
    EXPECT_EQ(Registry().value(installed), u"system"_qs);
    Registry().setValue(own, QString(), u"user"_qs);
    EXPECT_EQ(readAll(systemFile), systemText);
    const Registry user(Registry::defaultPath());
    EXPECT_EQ(user.value(own), u"user"_qs);
    EXPECT_EQ(user.value(installed), u"system"_qs);
    // Once the user has a file, the system's is no longer read.
    vok::test::writeFile(systemFile, "VOK Registry 1\n\n[HKEY_CLASSES_ROOT\\Later]\n@=\"system\"\n");
    EXPECT_FALSE(Registry().value(u"HKEY_CLASSES_ROOT\\Later"_qs));
    // $VOK_REGISTRY names the only registry read.
    vok::test::ScopedEnv elsewhere("VOK_REGISTRY", dir.filePath(u"explicit.reg"_qs).toUtf8());
    EXPECT_FALSE(Registry().value(installed));
    vok::test::ScopedEnv noSystem("XDG_CONFIG_DIRS", dir.filePath(u"first"_qs).toUtf8());
    EXPECT_EQ(Registry::systemPath(), QString());
}

} // namespace
