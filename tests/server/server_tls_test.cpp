// The tills reach the shop's server over TLS, checking its certificate
// against the shop's authority and the server's host name, and the server
// lets the tills' role in no other way: a till's password and its statements
// never cross the shop's network in clear.

#include "error_number.h"
#include "postgres_server.h"

#include "platform/rdo/rdo.h"

#include <QDir>
#include <QRegularExpression>

namespace {

using vok::test::PostgresServer;

QString firstValue(rdo::rdoConnection &connection, const QString &sql)
{
    return connection.OpenResultset(sql)->rdoColumns().Item(0).Value().get<QString>();
}

TEST(ServerTls, OnlyAVerifiedServerOverTlsLetsTheTillIn)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    server->letTillsIn(u"postgres"_qs);
    const QString verified = server->tillConnectionString(u"postgres"_qs);
    const QString authority = u"sslrootcert="_qs + server->tlsFile(u"ca.crt"_qs);
    const struct {
        const char *what;
        QString connection;
        QString certificate; // the one the server presents
        QString refusal;     // empty when the till gets in
    } cases[] = {
        {"verified", verified, u"localhost"_qs, {}},
        {"without TLS", QString(verified).replace(u"SSLmode=verify-full"_qs, u"SSLmode=disable"_qs), u"localhost"_qs,
         u"pg_hba.conf rejects connection .* user \"caja\".*no encryption"_qs},
        {"a certificate for another host", verified, u"elsewhere.invalid"_qs,
         u"server certificate for \"elsewhere.invalid\" does not match host name \"localhost\""_qs},
        {"the server named by its address", QString(verified).replace(u"=localhost"_qs, u"=127.0.0.1"_qs),
         u"localhost"_qs, u"does not match host name \"127.0.0.1\""_qs},
        {"another authority", QString(verified).replace(authority, u"sslrootcert="_qs + server->tlsFile(u"elsewhere.invalid.crt"_qs)),
         u"localhost"_qs, u"certificate verify failed"_qs},
        {"no authority", QString(verified).replace(u"pqopt={"_qs + authority + u"};"_qs, u""_qs), u"localhost"_qs,
         u"root certificate file .* does not exist"_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server->presentCertificate(c.certificate);
        if (c.refusal.isEmpty()) {
            const auto till = rdo::rdoConnection::open(c.connection);
            EXPECT_EQ(firstValue(*till, u"Select version From pg_stat_ssl Where pid = pg_backend_pid()"_qs),
                      u"TLSv1.3"_qs);
            EXPECT_EQ(firstValue(*till, u"Select current_user"_qs), u"caja"_qs);
            continue;
        }
        const vb::Error refused = vok::test::errorRaisedBy([&] { rdo::rdoConnection::open(c.connection); });
        EXPECT_TRUE(refused.description().contains(QRegularExpression(c.refusal))) << refused.description().toStdString();
    }
    server->presentCertificate(u"localhost"_qs);
}

// Debian registers psqlODBC with CommLog=1: its logs in /tmp, readable by
// every user, would hold a password given in the connection string.
TEST(ServerTls, NoDriverLogKeepsThePassword)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    server->letTillsIn(u"postgres"_qs);
    const auto till = rdo::rdoConnection::open(server->tillConnectionString(u"postgres"_qs) + u";CommLog=1;Debug=1;Password="_qs +
                                               PostgresServer::tillPassword());
    EXPECT_EQ(firstValue(*till, u"Select current_user"_qs), u"caja"_qs);
    const QDir logs(QDir::tempPath());
    for (const QString &log : logs.entryList({u"psqlodbc_*"_qs, u"mylog_*"_qs}, QDir::Files)) {
        QFile file(logs.filePath(log));
        EXPECT_FALSE(file.open(QIODevice::ReadOnly) && file.readAll().contains(PostgresServer::tillPassword().toUtf8()))
            << log.toStdString();
    }
}

} // namespace
