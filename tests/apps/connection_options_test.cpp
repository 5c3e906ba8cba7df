// Where the hosts take the shop's connection from, and that nothing they or
// the library print about it shows a password: vokhost and the demo as programs.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Every piece of every password holds "Zq", and nothing else does.
TEST(Connection, FromTheCommandLineAFileOrTheEnvironmentNeverShown)
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
    const char *host = VOKHOST_PATH, *demo = VOK_DEMO_PATH;
    struct Way {
        QString what;
        const char *program;
        QStringList arguments;
        QString vokDb;
        int exitCode;
        QString says;
    };
    std::vector<Way> ways = {
        {u"a file only its owner reads"_qs, host, {u"--db-file"_qs, kept}, bad, 0, {}},
        {u"the environment"_qs, host, {}, good, 0, {}},
        {u"--db before the environment"_qs, host, {u"--db"_qs, good}, bad, 0, {}},
        {u"a file others read"_qs, host, {u"--db-file"_qs, shared}, good, 1, u"run chmod 600 "_qs + shared},
        {u"a file and --db"_qs, host, {u"--db-file"_qs, kept, u"--db"_qs, good}, {}, 1, u"not both"_qs},
        {u"none"_qs, host, {}, {}, 1, u"--db-file FILE or $VOK_DB"_qs},
        {u"the demo's file others read"_qs, demo, {u"--db-file"_qs, shared}, {}, 2, u"run chmod 600 "_qs},
    };
    for (const char16_t *spelling :
         {u"UID=caja;PWD=Zq1", u"pwd=Zq1;UID=caja", u"PassWord=Zq1", u" PASSWORD = Zq1 Zq2 ;UID=c",
          u"Pwd={Zq1;Zq2=Zq3};UID=c", u"PWD={Zq1}}Zq2;Zq3}}}", u"PWD=Zq1;Password={Zq2}",
          u"pqopt={sslmode=require password='Zq1 Zq2\\'Zq3'}", u"translate=Zq1;PWD=Zq1"}) {
        const QString what = QString::fromUtf16(spelling), keys = u"DRIVER={NoSuchDriver};"_qs + what;
        ways.push_back({u"--db "_qs + what, host, {u"--db"_qs, u"odbc:"_qs + keys}, {}, 2, u"***"_qs});
        ways.push_back({u"$VOK_DB "_qs + what, host, {}, u"odbc:"_qs + keys, 2, u"***"_qs});
        ways.push_back({u"no prefix "_qs + what, host, {u"--db"_qs, keys}, {}, 2, u"***"_qs});
        ways.push_back({u"SQLite quoting "_qs + what, host, {u"--db"_qs, u"sqlite:/none;"_qs + keys}, {}, 2, u"***"_qs});
        ways.push_back({u"as an option "_qs + what, host, {u"odbc:"_qs + keys, u"--db"_qs}, {}, 1, u"***"_qs});
        ways.push_back({u"the demo "_qs + what, demo, {u"--db"_qs, u"odbc:"_qs + keys}, {}, 2, u"***"_qs});
    }
    for (const Way &way : ways) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.insert(u"VOK_DB"_qs, way.vokDb);
        process.setProcessEnvironment(env);
        const QStringList demoFolder{u"--folder"_qs, folder.path()};
        process.start(QString::fromUtf8(way.program), (way.program == demo ? demoFolder : QStringList()) + way.arguments);
        process.closeWriteChannel();
        process.waitForFinished(30000);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), way.exitCode) << way.what.toStdString() << ": " << errors.toStdString();
        EXPECT_TRUE(errors.contains(way.says) && !errors.contains(u"Zq"_qs))
            << way.what.toStdString() << ": " << errors.toStdString();
    }
}

} // namespace
