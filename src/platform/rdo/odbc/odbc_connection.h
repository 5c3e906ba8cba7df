#pragma once
// Any ODBC data source: the shop's SQL Server through FreeTDS, or an SQLite
// file through the SQLite ODBC driver. The statement text goes to the driver
// as the control wrote it, unless the connection string asks for the embedded
// back end's translation with the key "translate=sqlite", or PostgreSQL's
// with "translate=postgresql" (the server reached through psqlODBC, every
// session read-only).

#include "platform/rdo/odbc/odbc_narrowing.h"
#include "platform/rdo/rdo.h"
#include "platform/rdo/tsql/statement_rewriter.h"

#include <QString>

#include <memory>

namespace rdo {

// A connection string split into what this layer reads and what goes to
// SQLDriverConnect.
struct OdbcConnectionString {
    QString driverString; // without the translate and collation keys
    bool translateForSqlite = false;
    bool translateForPostgres = false;
    TextCollation collation = TextCollation::AccentSensitive;
};

// Reads "odbc:..." (or a string without the prefix), split as
// splitConnectionAttributes does; the keys "translate" and "collation" are
// compared without regard to case and removed. The values of translate are
// "sqlite" and "postgresql"; another is an error. The collation (ci_as, the
// default, or ci_ai, as for the embedded back end) is PostgreSQL's
// translation's: with another translation, or none, text compares as the
// data source compares it, and the key is refused (error 40001). With
// translate=postgresql, psqlODBC's logs are turned off (CommLog=0;Debug=0 in
// place of any the string sets).
OdbcConnectionString parseOdbcConnectionString(const QString &connectionString);

class OdbcConnection final : public rdoConnection {
public:
    struct Handles; // environment and connection, shared with the result sets

    static std::shared_ptr<OdbcConnection> open(const QString &connectionString);

    std::shared_ptr<rdoResultset> OpenResultset(const QString &sql, int16_t type = rdOpenDynamic,
                                                int16_t lockType = rdConcurValues) override;
    QString Connect() const override { return m_connect; }

    // Whether the driver took the read-only access mode (drivers may ignore it;
    // statements that do not read are refused here either way).
    bool readOnlyAccepted() const { return m_readOnlyAccepted; }
    void setRewriter(std::shared_ptr<const StatementRewriter> rewriter) { m_rewriter = std::move(rewriter); }

    OdbcConnection(std::shared_ptr<Handles> handles, QString connect, bool readOnlyAccepted,
                   std::shared_ptr<const StatementRewriter> rewriter);

private:
    std::shared_ptr<Handles> m_handles;
    QString m_connect;
    bool m_readOnlyAccepted;
    std::shared_ptr<const StatementRewriter> m_rewriter;
    OdbcNarrowing m_narrowing;
};

// True when the statement, past blanks, comments and opening parentheses,
// begins with Select or With: the only statements sent through a connection
// whose driver may not enforce read-only access.
bool beginsWithSelect(const QString &tsql);

} // namespace rdo
