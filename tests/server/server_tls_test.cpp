// The tills reach the shop's server over TLS, checking its certificate against
// the shop's authority and the server's host name, and the server lets the
// tills' role in no other way.

#include "error_number.h"
#include "postgres_server.h"

#include "platform/rdo/rdo.h"

#include <QDir>
#include <QRegularExpression>

namespace {

using vok::test::PostgresServer;

TEST(ServerTls, OnlyAVerifiedServerOverTlsLetsTheTillIn)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    server->letTillsIn(u"postgres"_qs);
    const QString verified = server->tillConnectionString(u"postgres"_qs);
    const struct {
        const char *what;
        QString connection, certificate, refusal; // no refusal: the till gets in
    } cases[] = {
        // Debian registers psqlODBC with CommLog=1: its logs in /tmp, readable
        // by every user, would hold a password given in the string.
        {"verified", verified + u";CommLog=1;Debug=1;Password="_qs + server->tillPassword(), u"localhost"_qs, {}},
        {"without TLS", QString(verified).replace(u"verify-full"_qs, u"disable"_qs), u"localhost"_qs,
         u"pg_hba.conf rejects connection .* user \"caja\".*no encryption"_qs},
        {"a certificate for another host", verified, u"elsewhere.invalid"_qs,
         u"certificate for \"elsewhere.invalid\" does not match host name \"localhost\""_qs},
        {"the server named by its address", QString(verified).replace(u"=localhost"_qs, u"=127.0.0.1"_qs),
         u"localhost"_qs, u"does not match host name \"127.0.0.1\""_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server->presentCertificate(c.certificate);
        if (!c.refusal.isEmpty()) {
            const vb::Error refused = vok::test::errorRaisedBy([&] { rdo::rdoConnection::open(c.connection); });
            EXPECT_TRUE(refused.description().contains(QRegularExpression(c.refusal)))
                << refused.description().toStdString();
            continue;
        }
        const auto till = rdo::rdoConnection::open(c.connection);
        const auto rs =
            till->OpenResultset(u"Select version, current_user From pg_stat_ssl Where pid = pg_backend_pid()"_qs);
        EXPECT_EQ(rs->rdoColumns().Item(0).Value().get<QString>() + rs->rdoColumns().Item(1).Value().get<QString>(),
                  u"TLSv1.3caja"_qs);
        const QDir logs(QDir::tempPath());
        for (const QString &log : logs.entryList({u"psqlodbc_*"_qs, u"mylog_*"_qs}, QDir::Files)) {
            QFile file(logs.filePath(log));
            EXPECT_FALSE(file.open(QIODevice::ReadOnly) && file.readAll().contains(server->tillPassword().toUtf8()));
        }
    }
}

} // namespace
