// The database server going wrong under a till: stopped while the list reads
// or between lookups, a statement over the server's time limit, a table
// dropped. Each lookup ends with one Error event that says what happened (and
// FindArticuloByID with an error to the host), and the till works again as
// soon as the server does, on the connection it already had.

#include "control_harness.h"
#include "error_number.h"
#include "faulty_connection.h"
#include "postgres_server.h"

#include <QRegularExpression>
#include <QThread>

namespace {

using vok::test::FaultyConnection;
using vok::test::PostgresServer;

class ServerFaults : public vok::test::CatalogueFixture {};

TEST_F(ServerFaults, EndEachLookupClearlyAndPassOnceMended)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    server->load(u"caja"_qs, catalogue());
    // The shop's limit for a statement; the rows of a list fetched ten at a
    // time, so that the list's reading goes back to the server.
    server->psql(u"caja"_qs, u"ALTER DATABASE caja SET statement_timeout = '1s'"_qs);
    const auto faulty = std::make_shared<FaultyConnection>(rdo::rdoConnection::open(
        server->connectionString(u"caja"_qs).replace(u"Fetch=100"_qs, u"Fetch=10"_qs)));
    control->setConnect(faulty);
    control->setEmpresa(1);
    control->setListaPrecios(1);
    control->tArticulo().setFocus();
    const auto id = static_cast<int32_t>(firstId(vok::test::LoadableArticle + " And ArtEmpresa = 1 And ArtID Not In "
                                                                              "(Select AVaArticulo From ArticuloVariedad)"));
    const QString name = firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(id));
    const auto enter = [&](const QString &typed) {
        log->events.clear();
        enterAfresh(typed);
        return log->events.filter(QRegularExpression(u"^Error "_qs));
    };
    QProcess holder; // the back office, holding the articles' table
    const auto hold = [&] {
        holder.start(u"psql"_qs,
                     server->asOwner(u"caja"_qs) +
                         QStringList{u"-c"_qs,
                                     u"SET statement_timeout = 0; BEGIN; LOCK TABLE articulo; SELECT pg_sleep(4)"_qs});
        while (server->psql(u"caja"_qs, u"SELECT count(*) FROM pg_locks WHERE relation = 'articulo'::regclass AND "
                                         "mode = 'AccessExclusiveLock'"_qs) == u"0\n"_qs)
            QThread::msleep(50);
    };
    const struct {
        const char *fault;
        bool whileTheListReads;
        std::function<void()> doIt, mend;
        QString says;
    } faults[] = {
        {"server stopped while the list reads", true, [&] { server->stop(); }, [&] { server->start(); }, {}},
        {"server stopped", false, [&] { server->stop(); }, [&] { server->start(); }, u"connect|server"_qs},
        {"over the time limit", false, hold, [&] { holder.waitForFinished(); }, u"statement timeout"_qs},
        {"table dropped", false,
         [&] { server->psql(u"caja"_qs, u"CREATE TABLE k AS TABLE unidadesmedidas; DROP TABLE unidadesmedidas CASCADE"_qs); },
         [&] { server->psql(u"caja"_qs, u"ALTER TABLE k RENAME TO unidadesmedidas"_qs); }, u"does not exist"_qs},
    };
    for (const auto &f : faults) {
        SCOPED_TRACE(f.fault);
        faulty->failAt(0);
        ASSERT_TRUE(enter(name).isEmpty() && control->ID() == id);
        if (f.whileTheListReads) {
            enter(u"%"_qs);
            faulty->interruptAt(static_cast<int>(faulty->calls.size()) / 2, f.doIt);
            ASSERT_EQ(enter(u"%"_qs).size(), 1) << "the list stopped reading by one Error event";
        } else {
            f.doIt();
            const QStringList errors = enter(name);
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors.first().contains(QRegularExpression(u"^Error -?\\d+ - .*("_qs + f.says + u')')))
                << errors.first().toStdString();
            const vb::Error byId = vok::test::errorRaisedBy([&] { control->FindArticuloByID(id); });
            EXPECT_TRUE(byId.description().contains(QRegularExpression(f.says))) << byId.description().toStdString();
        }
        f.mend();
        EXPECT_TRUE(enter(name).isEmpty() && control->ID() == id) << "once mended";
    }
    server->stop();
    const vb::Error refused = vok::test::errorRaisedBy([&] { rdo::rdoConnection::open(faulty->Connect()); });
    server->start();
    EXPECT_TRUE(refused.description().contains(u"Connection refused"_qs)) << refused.description().toStdString();
}

} // namespace
