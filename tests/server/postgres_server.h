#pragma once
// The program's private PostgreSQL server (scripts/postgres-sandbox): made in
// a temporary folder on first use, stopped when the program ends, so that
// nothing needs to be running beforehand.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <filesystem>
#include <memory>

namespace vok::test {

class PostgresServer {
public:
    // Null when the server's programs are not installed.
    static PostgresServer *shared()
    {
        static std::unique_ptr<PostgresServer> server;
        if (!server && QFileInfo::exists(u"/usr/lib/postgresql/15/bin/initdb"_qs))
            server.reset(new PostgresServer);
        return server.get();
    }
    ~PostgresServer() { stop(); }
    void start() { m_port = run({QStringLiteral(VOK_POSTGRES_SANDBOX), u"start"_qs, m_folder.path()}).trimmed(); }
    void stop() { run({QStringLiteral(VOK_POSTGRES_SANDBOX), u"stop"_qs, m_folder.path()}); }

    // What psql and data/postgresql/load take to reach database as the
    // server's owner.
    QStringList asOwner(const QString &database) const
    {
        return {u"-h127.0.0.1"_qs, u"-p"_qs + m_port, u"-Uvok"_qs, database};
    }
    // Runs SQL as the server's owner.
    QString psql(const QString &database, const QString &sql) const
    {
        return run(QStringList{u"psql"_qs, u"-XAtq"_qs, u"-v"_qs, u"ON_ERROR_STOP=1"_qs} + asOwner(database) +
                   QStringList{u"-c"_qs, sql});
    }
    // Runs a file of SQL as the server's owner, each statement alone, as a
    // shop's administrator runs data/postgresql/indexes.sql.
    void psqlFile(const QString &database, const QString &path) const
    {
        run(QStringList{u"psql"_qs, u"-Xq"_qs, u"-v"_qs, u"ON_ERROR_STOP=1"_qs} + asOwner(database) +
            QStringList{u"-f"_qs, path});
    }
    // A new database holding a shop's SQLite file, as data/postgresql/load
    // copies it; its text ordered by default as a Spanish shop's server would
    // order it, which the tills must not rely on.
    void load(const QString &database, const std::filesystem::path &file) const
    {
        psql(u"postgres"_qs, u"CREATE DATABASE "_qs + database +
                                 u" TEMPLATE template0 LOCALE_PROVIDER icu ICU_LOCALE 'es' LOCALE 'C.UTF-8'"_qs);
        run(QStringList{QStringLiteral(VOK_POSTGRES_LOADER), QString::fromStdString(file.string())} +
            asOwner(database));
    }
    // A till's connection: the ODBC back end through psqlODBC.
    QString connectionString(const QString &database) const
    {
        return u"odbc:translate=postgresql;Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port="_qs + m_port +
               u";Database="_qs + database + u";Username=vok;UseDeclareFetch=1;Fetch=100;CommLog=0"_qs;
    }

    // The tills' role reading a database, its password in a libpq password
    // file (PGPASSFILE, which psqlODBC reads) as a till keeps it.
    void letTillsIn(const QString &database) const
    {
        if (psql(u"postgres"_qs, u"SELECT count(*) FROM pg_roles WHERE rolname = 'caja'"_qs) == u"0\n"_qs)
            psql(u"postgres"_qs, u"CREATE ROLE caja LOGIN PASSWORD '"_qs + tillPassword() + u"'"_qs);
        psql(database, u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO caja"_qs);
        QFile passwords(m_folder.filePath(u"pgpass"_qs));
        EXPECT_TRUE(passwords.open(QIODevice::WriteOnly) && passwords.write("*:*:*:caja:" + tillPassword().toUtf8()));
        passwords.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", QFile::encodeName(passwords.fileName()));
    }
    static QString tillPassword() { return u"Zq-till-7e1"_qs; }
    // A till's connection: over TLS, the server's certificate checked against
    // the authority made with the server and the host name.
    QString tillConnectionString(const QString &database) const
    {
        return u"odbc:translate=postgresql;Driver={PostgreSQL Unicode};Servername=localhost;Port="_qs + m_port +
               u";Database="_qs + database + u";Username=caja;SSLmode=verify-full;pqopt={sslrootcert="_qs +
               m_folder.filePath(u"tls/ca.crt"_qs) + u"};UseDeclareFetch=1;Fetch=100"_qs;
    }
    // The certificate the server presents from its next connection on, for
    // "localhost" or "elsewhere.invalid".
    void presentCertificate(const QString &host) const
    {
        const QString file = m_folder.filePath(u"tls/"_qs + host);
        psql(u"postgres"_qs, u"ALTER SYSTEM SET ssl_cert_file = '"_qs + file + u".crt'"_qs);
        psql(u"postgres"_qs, u"ALTER SYSTEM SET ssl_key_file = '"_qs + file + u".key'"_qs);
        psql(u"postgres"_qs, u"SELECT pg_reload_conf()"_qs);
        while (psql(u"postgres"_qs, u"SHOW ssl_cert_file"_qs).trimmed() != file + u".crt"_qs)
            QThread::msleep(20);
    }

private:
    PostgresServer()
    {
        registerDriversQuietly();
        start();
    }
    // The drivers as the system registers them, but for psqlODBC's log: with
    // Debian's CommLog=1 every session the tests open would leave a file in
    // /tmp ("PQfinish: ..."), whatever the connection string says.
    void registerDriversQuietly() const
    {
        QFile system(u"/etc/odbcinst.ini"_qs);
        if (!system.open(QIODevice::ReadOnly))
            return;
        QString drivers = QString::fromUtf8(system.readAll());
        drivers.replace(QRegularExpression(u"^\\s*CommLog\\s*=.*$"_qs, QRegularExpression::MultilineOption),
                        u"CommLog=0"_qs);
        QFile own(m_folder.filePath(u"odbcinst.ini"_qs));
        QFile dataSources(m_folder.filePath(u"odbc.ini"_qs));
        if (own.open(QIODevice::WriteOnly) && own.write(drivers.toUtf8()) >= 0 && dataSources.open(QIODevice::WriteOnly))
            qputenv("ODBCSYSINI", QFile::encodeName(m_folder.path()));
    }
    static QString run(const QStringList &command)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(command.first(), command.mid(1));
        EXPECT_TRUE(process.waitForFinished(120000) && process.exitCode() == 0) << command.join(u' ').toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir m_folder;
    QString m_port;
};

} // namespace vok::test
