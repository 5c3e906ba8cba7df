// The database server going wrong under a till: stopped while the list reads,
// refusing the connection, too slow for the statement's time limit, a table
// gone. Each lookup ends with one clear Error event (or an error to the host,
// for FindArticuloByID and for opening the connection), and the till works
// again as soon as the server does, on the connection it already had.

#include "control_harness.h"
#include "error_number.h"
#include "faulty_connection.h"
#include "postgres_server.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace {

using vok::test::FaultyConnection;
using vok::test::PostgresServer;

class ServerFaults : public vok::test::CatalogueFixture {
protected:
    void SetUp() override
    {
        server = PostgresServer::shared();
        if (!server)
            GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
        CatalogueFixture::SetUp();
        static bool loaded = false;
        if (!loaded)
            server->load(u"caja"_qs, catalogue());
        loaded = true;
        id = firstId(vok::test::LoadableArticle +
                     " And ArtID Not In (Select AVaArticulo From ArticuloVariedad) And ArtEmpresa = 1");
        name = firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(id));
        // Rows fetched ten at a time, so that the list's reading goes back
        // to the server.
        faulty = std::make_shared<FaultyConnection>(rdo::rdoConnection::open(
            server->connectionString(u"caja"_qs).replace(u"Fetch=100"_qs, u"Fetch=10"_qs)));
        control->setConnect(faulty);
        control->setEmpresa(1);
        control->setListaPrecios(1);
        control->tArticulo().setFocus();
    }

    // The cashier types the text; the Error events the lookup raised.
    QStringList enter(const QString &typed)
    {
        log->events.clear();
        enterAfresh(typed);
        return log->events.filter(QRegularExpression(u"^Error "_qs));
    }
    void expectFound(const char *when)
    {
        const QStringList errors = enter(name);
        EXPECT_TRUE(errors.isEmpty()) << when << ": " << errors.join(u'\n').toStdString();
        EXPECT_EQ(control->ID(), id) << when;
    }
    static void expectOneError(const QStringList &errors, const QString &words)
    {
        ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
        EXPECT_TRUE(errors.first().contains(QRegularExpression(u"^Error -?\\d+ - .*"_qs + words,
                                                               QRegularExpression::CaseInsensitiveOption)))
            << errors.first().toStdString();
    }

    PostgresServer *server = nullptr;
    std::shared_ptr<FaultyConnection> faulty;
    int64_t id = 0;
    QString name;
};

// The server stopped after the list read its first rows, then started again.
TEST_F(ServerFaults, StoppedWhileTheListReads)
{
    expectFound("before");
    control->setFormatoLista(0);
    faulty->failAt(0);
    const QStringList first = enter(u"%"_qs);
    ASSERT_TRUE(first.isEmpty()) << first.join(u'\n').toStdString();
    int moves = 0, nth = 0;
    for (size_t i = 0; i < faulty->calls.size() && !nth; ++i)
        if (faulty->calls[i].operation == FaultyConnection::Operation::MoveNext && ++moves == 15)
            nth = static_cast<int>(i) + 1;
    ASSERT_GT(nth, 0) << "a list longer than the rows fetched at once: " << moves << " of " << faulty->calls.size();
    faulty->interruptAt(nth, [&] { server->stop(); });
    const QStringList errors = enter(u"%"_qs);
    EXPECT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    expectOneError(enter(name), u"connect|server|terminat"_qs);
    server->start();
    faulty->failAt(0);
    expectFound("once the server is back");
}

// The server's time limit for a statement cut short by a table the back
// office holds; once it lets go, the next lookup finds the article.
TEST_F(ServerFaults, StatementTimeLimit)
{
    server->psql(u"caja"_qs, u"ALTER DATABASE caja SET statement_timeout = '400ms'"_qs);
    control->setConnect(rdo::rdoConnection::open(server->connectionString(u"caja"_qs)));
    expectFound("before");
    QProcess holder;
    holder.start(u"psql"_qs, {u"-X"_qs, u"-h"_qs, u"127.0.0.1"_qs, u"-p"_qs, QString::number(server->port()),
                               u"-U"_qs, u"vok"_qs, u"caja"_qs, u"-c"_qs,
                               u"SET statement_timeout = 0; BEGIN; LOCK TABLE articulo IN ACCESS EXCLUSIVE MODE; "
                               "SELECT pg_sleep(3); COMMIT"_qs});
    holder.waitForStarted();
    const QString held = u"SELECT count(*) FROM pg_locks WHERE mode = 'AccessExclusiveLock' AND relation = "
                         "'articulo'::regclass"_qs;
    for (int waited = 0; waited < 100 && server->psql(u"caja"_qs, held).trimmed() != u"1"_qs; ++waited)
        QThread::msleep(50);
    QElapsedTimer timer;
    timer.start();
    expectOneError(enter(name), u"statement timeout"_qs);
    EXPECT_LT(timer.elapsed(), 2500);
    holder.waitForFinished(10000);
    expectFound("after the table was let go");
    server->psql(u"caja"_qs, u"ALTER DATABASE caja RESET statement_timeout"_qs);
}

// A table of the lookups dropped, and put back.
TEST_F(ServerFaults, DroppedTable)
{
    expectFound("before");
    server->psql(u"caja"_qs, u"CREATE TABLE kept AS SELECT * FROM unidadesmedidas; DROP TABLE unidadesmedidas CASCADE"_qs);
    expectOneError(enter(name), u"unidadesmedidas.*does not exist"_qs);
    const vb::Error byId = vok::test::errorRaisedBy([&] { control->FindArticuloByID(static_cast<int32_t>(id)); });
    EXPECT_TRUE(byId.description().contains(u"does not exist"_qs)) << byId.description().toStdString();
    server->psql(u"caja"_qs, u"ALTER TABLE kept RENAME TO unidadesmedidas"_qs);
    expectFound("with the table back");
}

// A server that is not there refuses the till's connection at once, saying
// so to the host that opens it.
TEST_F(ServerFaults, RefusedConnection)
{
    server->stop();
    QElapsedTimer timer;
    timer.start();
    const vb::Error error =
        vok::test::errorRaisedBy([&] { rdo::rdoConnection::open(server->connectionString(u"caja"_qs)); });
    server->start();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(error.source(), u"ODBC"_qs);
    EXPECT_TRUE(error.description().contains(QRegularExpression(u"connect|refused"_qs, QRegularExpression::CaseInsensitiveOption)))
        << error.description().toStdString();
    expectFound("the open connection, the server started again");
}

} // namespace
