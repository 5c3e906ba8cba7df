#pragma once
// The program's private PostgreSQL server (scripts/postgres-sandbox): made in
// a temporary folder on first use, stopped when the program ends, so that
// nothing needs to be running beforehand.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

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
    QString port() const { return m_port; }

    // Runs SQL as the server's owner.
    QString psql(const QString &database, const QString &sql) const
    {
        return run({u"psql"_qs, u"-XAtq"_qs, u"-v"_qs, u"ON_ERROR_STOP=1"_qs, u"-h127.0.0.1"_qs, u"-p"_qs + m_port,
                    u"-Uvok"_qs, database, u"-c"_qs, sql});
    }
    // A new database holding a shop's SQLite file, as data/postgresql/load copies it.
    void load(const QString &database, const std::filesystem::path &file) const
    {
        psql(u"postgres"_qs, u"CREATE DATABASE "_qs + database);
        run({QStringLiteral(VOK_POSTGRES_LOADER), QString::fromStdString(file.string()), u"-h127.0.0.1"_qs,
             u"-p"_qs + m_port, u"-Uvok"_qs, database});
    }
    // A till's connection: the ODBC back end through psqlODBC.
    QString connectionString(const QString &database) const
    {
        return u"odbc:translate=postgresql;Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port="_qs + m_port +
               u";Database="_qs + database + u";Username=vok;UseDeclareFetch=1;Fetch=100;CommLog=0"_qs;
    }

private:
    PostgresServer() { start(); }
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
