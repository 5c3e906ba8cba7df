#include "postgres_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <pwd.h>

namespace vok::test {
namespace {

QString binaries()
{
    const QByteArray set = qgetenv("VOK_POSTGRES_BIN");
    return set.isEmpty() ? QStringLiteral("/usr/lib/postgresql/15/bin") : QString::fromLocal8Bit(set);
}

// A port nobody listens on now: the kernel's pick for a socket bound to 0.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

// The server refuses to run as root: then its programs run as nobody.
QStringList asServerUser(QStringList command)
{
    if (::geteuid() == 0)
        command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("nobody"),
                              QStringLiteral("--")} +
                  command;
    return command;
}

} // namespace

PostgresServer *PostgresServer::shared()
{
    static std::unique_ptr<PostgresServer> server;
    if (!server && QFileInfo::exists(binaries() + QStringLiteral("/initdb")))
        server.reset(new PostgresServer);
    return server.get();
}

PostgresServer::PostgresServer() : m_port(freePort())
{
    if (::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (nobody)
            (void)::chown(QFile::encodeName(m_folder.path()).constData(), nobody->pw_uid, nobody->pw_gid);
    }
    run(asServerUser({binaries() + QStringLiteral("/initdb"), QStringLiteral("-D"), m_folder.filePath(u"data"_qs),
                      QStringLiteral("-U"), QStringLiteral("vok"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                      QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--auth=trust"), QStringLiteral("-N")}));
    start();
}

PostgresServer::~PostgresServer() { stop(); }

void PostgresServer::start()
{
    run(asServerUser({binaries() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_folder.filePath(u"data"_qs),
                      QStringLiteral("-l"), m_folder.filePath(u"server.log"_qs), QStringLiteral("-w"),
                      QStringLiteral("-o"),
                      QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                          .arg(m_port)
                          .arg(m_folder.path()),
                      QStringLiteral("start")}));
}

void PostgresServer::stop()
{
    run(asServerUser({binaries() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_folder.filePath(u"data"_qs),
                      QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")}));
}

QString PostgresServer::run(const QStringList &command, const QByteArray &input) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"PATH"_qs, binaries() + u':' + environment.value(u"PATH"_qs));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QDir::tempPath());
    process.start(command.first(), command.mid(1));
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_TRUE(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << command.join(u' ').toStdString() << "\n" << output.toStdString();
    return output;
}

QString PostgresServer::psql(const QString &database, const QString &sql) const
{
    return run({binaries() + QStringLiteral("/psql"), QStringLiteral("-X"), QStringLiteral("-At"),
                QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
                QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                QStringLiteral("vok"), database, QStringLiteral("-c"), sql});
}

void PostgresServer::load(const QString &database, const std::filesystem::path &file)
{
    psql(u"postgres"_qs, u"CREATE DATABASE "_qs + database);
    run({QStringLiteral(VOK_POSTGRES_LOADER), QString::fromStdString(file.string()), QStringLiteral("-h"),
         QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
         QStringLiteral("vok"), database});
}

QString PostgresServer::connectionString(const QString &database) const
{
    return QStringLiteral("odbc:translate=postgresql;Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=%1;"
                          "Database=%2;Username=vok;UseDeclareFetch=1;Fetch=100")
        .arg(m_port)
        .arg(database);
}

} // namespace vok::test
