#pragma once
// A private PostgreSQL server for the tests of the server back end: a cluster
// made in a temporary folder, listening on a free local port, run as an
// unprivileged user when the tests run as root (as CI does), stopped when the
// program ends. Nothing needs to be running beforehand.

#include <QString>
#include <QTemporaryDir>

#include <filesystem>

namespace vok::test {

class PostgresServer {
public:
    // The program's server, made and started on first use; null when the
    // server's programs are not installed.
    static PostgresServer *shared();

    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    void start();
    void stop();

    // A new database holding the tables of a shop's SQLite file, copied by
    // data/postgresql/load.
    void load(const QString &database, const std::filesystem::path &file);
    // Runs SQL as the server's owner; fails the test on an error.
    QString psql(const QString &database, const QString &sql) const;
    // The till's connection string: the ODBC back end with psqlODBC.
    QString connectionString(const QString &database) const;
    int port() const { return m_port; }

private:
    PostgresServer();
    QString run(const QStringList &command, const QByteArray &input = {}) const;

    QTemporaryDir m_folder;
    int m_port = 0;
};

} // namespace vok::test
