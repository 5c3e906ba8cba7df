// bench/several-tills, the measure of several tills on one server, run for a
// moment against the program's private server: two vokhost tills typing every
// kind of lookup through a login that may only read. A run passes only when
// every kind was measured, nothing failed and no table changed; the back
// office changing a price while the tills type, or a table the tills may not
// read, must fail it and say why. One server and one loaded catalogue serve
// every row (loading it costs more than the rows together).

#include "postgres_server.h"

#include "catalogue_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace {

using vok::test::PostgresServer;

struct Outcome {
    int exitCode = -1;
    QString output;
    QJsonObject figures;
};

// Runs the tool; `whileTyping` once its tills have begun to type.
Outcome severalTills(const PostgresServer &server, const QString &database, const QString &connection, int seconds,
                 const std::function<void()> &whileTyping)
{
    QTemporaryDir folder;
    const QString figures = folder.filePath(u"figures.json"_qs);
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(VOK_SEVERAL_TILLS),
               QStringList{u"--db"_qs, connection, u"--tills"_qs, u"2"_qs, u"--seconds"_qs, QString::number(seconds),
                           u"--list-words"_qs, u"4"_qs, u"--vokhost"_qs, QStringLiteral(VOKHOST_PATH), u"--json"_qs,
                           figures, u"--"_qs} +
                   server.asOwner(database));
    Outcome run;
    while (!run.output.contains(u"typing for"_qs) && tool.waitForReadyRead(60000))
        run.output += QString::fromUtf8(tool.readAll());
    if (whileTyping && run.output.contains(u"typing for"_qs))
        whileTyping();
    if (!tool.waitForFinished(60000))
        tool.kill();
    run.output += QString::fromUtf8(tool.readAll());
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    QFile file(figures);
    if (file.open(QIODevice::ReadOnly))
        run.figures = QJsonDocument::fromJson(file.readAll()).object();
    return run;
}

TEST(SeveralTills, PassOnlyWhenEveryKindRanWithoutErrorsAndNoTableChanged)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    const QString database = u"tills"_qs;
    server->load(database, vok::test::generatedCatalogue(11, 2000));
    server->psql(database, u"CREATE ROLE cajero LOGIN; GRANT CONNECT ON DATABASE tills TO cajero; "
                           "GRANT USAGE ON SCHEMA public TO cajero; "
                           "GRANT SELECT ON ALL TABLES IN SCHEMA public TO cajero"_qs);
    const QString connection =
        server->connectionString(database).replace(u"Username=vok"_qs, u"Username=cajero"_qs);
    const auto sql = [&](const QString &statement) { return [=] { server->psql(database, statement); }; };
    const QString firstPrice = u" WHERE pviarticulo = (SELECT min(pviarticulo) FROM preciovigente)"_qs;
    const struct {
        const char *name;
        int seconds;
        std::function<void()> before, whileTyping, after;
        int exitCode;
        QStringList changed;
        QString says; // in the errors the tool prints
    } rows[] = {
        {"a quiet shop", 3, {}, {}, {}, 0, {}, {}},
        {"the back office changes a price while the tills type", 2, {},
         sql(u"UPDATE preciovigente SET pviprecio = pviprecio + 1"_qs + firstPrice),
         sql(u"UPDATE preciovigente SET pviprecio = pviprecio - 1"_qs + firstPrice),
         1, {u"preciovigente"_qs}, {}},
        {"a table the tills may not read", 1, sql(u"REVOKE SELECT ON articulovariedad FROM cajero"_qs), {},
         sql(u"GRANT SELECT ON articulovariedad TO cajero"_qs), 1, {},
         u"permission denied for table articulovariedad"_qs},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.before)
            row.before();
        const Outcome run = severalTills(*server, database, connection, row.seconds, row.whileTyping);
        if (row.after)
            row.after();
        ASSERT_EQ(run.exitCode, row.exitCode) << run.output.toStdString();
        ASSERT_FALSE(run.figures.isEmpty()) << run.output.toStdString();
        QStringList changed;
        for (const QJsonValue &table : run.figures[u"changed"_qs].toArray())
            changed << table.toString();
        EXPECT_EQ(changed, row.changed) << run.output.toStdString();
        const QJsonArray errors = run.figures[u"errors"_qs].toArray();
        if (row.says.isEmpty()) {
            EXPECT_TRUE(errors.isEmpty()) << run.output.toStdString();
            const QJsonObject kinds = run.figures[u"kinds"_qs].toObject();
            EXPECT_EQ(kinds.size(), 5);
            for (auto kind = kinds.begin(); kind != kinds.end(); ++kind)
                EXPECT_GT(kind->toObject()[u"count"_qs].toInt(), 0) << kind.key().toStdString() << " was not measured";
            EXPECT_EQ(run.figures[u"found_nothing"_qs].toInt(-1), 0) << run.output.toStdString();
        } else {
            EXPECT_FALSE(errors.isEmpty());
            EXPECT_TRUE(run.output.contains(row.says)) << run.output.toStdString();
        }
    }
}

} // namespace
