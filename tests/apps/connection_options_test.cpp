// Where the hosts take the shop's connection from, and that nothing they or
// the library print about it shows a password: vokhost and the demo as programs.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Ran {
    int exitCode = -1;
    QString errors;
};

Ran run(const char *program, const QStringList &arguments, const QString &vokDb = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    env.insert(u"VOK_DB"_qs, vokDb);
    process.setProcessEnvironment(env);
    process.start(QString::fromUtf8(program), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

// Every piece of every password holds "Zq", and nothing else does.
TEST(ConnectionShown, NeverWithAPassword)
{
    const char16_t *const spellings[] = {
        u"UID=caja;PWD=Zq1",          u"pwd=Zq1;UID=caja",     u"PassWord=Zq1",   u" PASSWORD = Zq1 Zq2 ;UID=caja",
        u"Pwd={Zq1;Zq2=Zq3};UID=caja", u"PWD={Zq1}}Zq2;Zq3}}}", u"PWD=Zq1;Password={Zq2}",
        u"pqopt={sslmode=require password='Zq1 Zq2\\'Zq3'}", u"translate=Zq1;PWD=Zq1"};
    QTemporaryDir folder;
    for (const char16_t *spelling : spellings) {
        const QString keys = u"DRIVER={NoSuchDriver};"_qs + QString::fromUtf16(spelling);
        const struct {
            const char *how, *program;
            QStringList arguments;
            QString vokDb;
            int exitCode;
        } ways[] = {
            {"vokhost --db", VOKHOST_PATH, {u"--db"_qs, u"odbc:"_qs + keys}, {}, 2},
            {"vokhost $VOK_DB", VOKHOST_PATH, {}, u"odbc:"_qs + keys, 2},
            {"without its prefix", VOKHOST_PATH, {u"--db"_qs, keys}, {}, 2},
            {"quoted by SQLite", VOKHOST_PATH, {u"--db"_qs, u"sqlite:/nonexistent;"_qs + keys}, {}, 2},
            {"where an option belongs", VOKHOST_PATH, {u"odbc:"_qs + keys, u"--db"_qs}, {}, 1},
            {"vok-demo --db", VOK_DEMO_PATH, {u"--folder"_qs, folder.path(), u"--db"_qs, u"odbc:"_qs + keys}, {}, 2},
        };
        for (const auto &way : ways) {
            const Ran ran = run(way.program, way.arguments, way.vokDb);
            EXPECT_EQ(ran.exitCode, way.exitCode) << way.how << ": " << ran.errors.toStdString();
            EXPECT_TRUE(ran.errors.contains(u"***"_qs) && !ran.errors.contains(u"Zq"_qs))
                << way.how << ": " << ran.errors.toStdString();
        }
    }
}

// A command line is in every user's process list; a file only its owner
// reads and the environment are not.
TEST(ConnectionSource, TheCommandLineAFileOrTheEnvironment)
{
    QTemporaryDir folder;
    const QString good = u"sqlite:"_qs + folder.filePath(u"shop.db"_qs), bad = good + u".missing"_qs;
    QFile(folder.filePath(u"shop.db"_qs)).open(QIODevice::WriteOnly); // an empty database
    const auto keep = [&](const char *name, QFile::Permissions others) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("  " + good.toUtf8() + " \n# note\n") > 0);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | others);
        return file.fileName();
    };
    const QString kept = keep("kept", {}), shared = keep("shared", QFile::ReadGroup);
    const struct {
        const char *what;
        QStringList arguments;
        QString vokDb;
        int exitCode;
        QString says;
    } cases[] = {
        {"a file only its owner reads", {u"--db-file"_qs, kept}, bad, 0, {}},
        {"the environment", {}, good, 0, {}},
        {"--db before the environment", {u"--db"_qs, good}, bad, 0, {}},
        {"a file others read", {u"--db-file"_qs, shared}, good, 1, u"run chmod 600 "_qs + shared},
        {"a file and --db", {u"--db-file"_qs, kept, u"--db"_qs, good}, {}, 1, u"not both"_qs},
        {"none", {}, {}, 1, u"--db-file FILE or $VOK_DB"_qs},
    };
    for (const auto &c : cases) {
        const Ran ran = run(VOKHOST_PATH, c.arguments, c.vokDb);
        EXPECT_EQ(ran.exitCode, c.exitCode) << c.what << ": " << ran.errors.toStdString();
        EXPECT_TRUE(ran.errors.contains(c.says)) << c.what << ": " << ran.errors.toStdString();
    }
    const Ran demo = run(VOK_DEMO_PATH, {u"--folder"_qs, folder.path(), u"--db-file"_qs, shared});
    EXPECT_TRUE(demo.exitCode == 2 && demo.errors.contains(u"run chmod 600"_qs)) << demo.errors.toStdString();
}

} // namespace
