// Where the hosts take the shop's connection from, and that what they print
// about it never shows its password: vokhost and the demo run as programs.

#include "password_spellings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Ran {
    int exitCode = -1;
    QString errors;
};

Ran run(const QString &program, const QStringList &arguments, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"VOK_DB"_qs);
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    for (const QString &variable : environment)
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.closeWriteChannel();
    Ran result;
    if (process.waitForFinished(30000))
        result = {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    return result;
}

class PasswordPrinted : public ::testing::TestWithParam<vok::test::PasswordSpelling> {};

// The string given on the command line, in the environment, or typed where an
// option belongs: the hosts say what they could not open, with the password
// masked.
TEST_P(PasswordPrinted, NeverByTheHosts)
{
    const QString connection = QString::fromUtf16(GetParam().connection);
    QTemporaryDir folder;
    const struct {
        const char *how;
        const char *program;
        QStringList arguments, environment;
        int exitCode;
    } ways[] = {
        {"vokhost --db", VOKHOST_PATH, {u"--db"_qs, connection}, {}, 2},
        {"vokhost $VOK_DB", VOKHOST_PATH, {}, {u"VOK_DB="_qs + connection}, 2},
        {"vokhost, the string as an option", VOKHOST_PATH, {connection, u"--db"_qs}, {}, 1},
        {"vok-demo --db", VOK_DEMO_PATH, {u"--folder"_qs, folder.path(), u"--db"_qs, connection}, {}, 2},
        {"vok-demo, the string as an option", VOK_DEMO_PATH, {connection}, {}, 1},
    };
    for (const auto &way : ways) {
        const Ran ran = run(way.program, way.arguments, way.environment);
        EXPECT_EQ(ran.exitCode, way.exitCode) << way.how << ": " << ran.errors.toStdString();
        EXPECT_TRUE(ran.errors.contains(u"***"_qs) && !ran.errors.contains(u"Zq"_qs))
            << way.how << ": " << ran.errors.toStdString();
    }
}

using vok::test::PrintTo;
INSTANTIATE_TEST_SUITE_P(Spellings, PasswordPrinted, ::testing::ValuesIn(vok::test::kPasswordSpellings),
                         vok::test::byName);

// A password on the command line is in every user's process list: the
// connection also comes from a file only its owner reads, or the environment.
TEST(ConnectionSource, FromTheCommandLineAFileOrTheEnvironment)
{
    QTemporaryDir folder;
    const QString shop = folder.filePath(u"shop.db"_qs), good = u"sqlite:"_qs + shop;
    QFile(shop).open(QIODevice::WriteOnly); // an empty file is an empty database
    const auto keep = [&](const char *name, const QByteArray &text, QFile::Permissions permissions) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        file.setPermissions(permissions);
        return file.fileName();
    };
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    const QString kept = keep("kept", "  " + good.toUtf8() + "  \n# a note\n", owner);
    const QString shared = keep("shared", good.toUtf8(), owner | QFile::ReadGroup | QFile::ReadOther);
    const QString group = keep("group", good.toUtf8(), owner | QFile::ReadGroup);
    const QString empty = keep("empty", "\n", owner);
    const QString missing = u"sqlite:"_qs + folder.filePath(u"missing.db"_qs);
    const struct {
        const char *what;
        QStringList arguments, environment;
        int exitCode;
        QString says;
    } cases[] = {
        {"a file only its owner reads", {u"--db-file"_qs, kept}, {}, 0, {}},
        {"the environment", {}, {u"VOK_DB="_qs + good}, 0, {}},
        {"--db before the environment", {u"--db"_qs, good}, {u"VOK_DB="_qs + missing}, 0, {}},
        {"a file before the environment", {u"--db-file"_qs, kept}, {u"VOK_DB="_qs + missing}, 0, {}},
        {"a file others read", {u"--db-file"_qs, shared}, {}, 1, u"run chmod 600 "_qs + shared},
        {"a file the group reads", {u"--db-file"_qs, group}, {}, 1, u"run chmod 600 "_qs + group},
        {"an empty file", {u"--db-file"_qs, empty}, {}, 1, u"holds no connection string"_qs},
        {"no file", {u"--db-file"_qs, folder.filePath(u"none"_qs)}, {}, 1, u"does not exist"_qs},
        {"a file and --db", {u"--db-file"_qs, kept, u"--db"_qs, good}, {}, 1, u"not both"_qs},
        {"none", {}, {}, 1, u"--db CONNECTION, --db-file FILE or $VOK_DB"_qs},
    };
    for (const auto &c : cases) {
        const Ran ran = run(VOKHOST_PATH, c.arguments, c.environment);
        EXPECT_EQ(ran.exitCode, c.exitCode) << c.what << ": " << ran.errors.toStdString();
        EXPECT_TRUE(ran.errors.contains(c.says)) << c.what << ": " << ran.errors.toStdString();
    }
    // The demo reads the same sources.
    const Ran demo = run(VOK_DEMO_PATH, {u"--folder"_qs, folder.path(), u"--db-file"_qs, shared});
    EXPECT_EQ(demo.exitCode, 2);
    EXPECT_TRUE(demo.errors.contains(u"run chmod 600 "_qs + shared)) << demo.errors.toStdString();
}

} // namespace
