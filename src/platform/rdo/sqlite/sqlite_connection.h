#pragma once
// The embedded back end: a SQLite file standing in for the shop's server. It
// runs the host's Transact-SQL after the SqliteTranslation rewriting, with
// SQL Server's LIKE and text comparison installed, and never writes. Plans
// registered from outside (sqlite_plans.h) may run a statement their own way.

#include "platform/rdo/rdo.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/statement_rewriter.h"

#include <QStringList>

#include <memory>

struct sqlite3;

namespace rdo {

// Installs on a SQLite connection what makes it compare text as SQL Server
// does under the given collation: like(X, Y) (the LIKE operator) as
// sqlServerLike, and the collation kServerCollation as sqlServerCompare.
// Returns SQLITE_OK or the error code.
int installServerText(sqlite3 *db, TextCollation collation = TextCollation::AccentSensitive);

class SqlitePlans;

class SqliteConnection final : public rdoConnection {
public:
    struct Handle; // the open database, shared with the result sets

    // "sqlite:PATH", or "sqlite:PATH;collation=ci_ai" (see
    // parseSqliteConnectionString). The file is opened read-only and must exist.
    static std::shared_ptr<SqliteConnection> open(const QString &connectionString);

    std::shared_ptr<rdoResultset> OpenResultset(const QString &sql, int16_t type = rdOpenDynamic,
                                                int16_t lockType = rdConcurValues) override;
    QString Connect() const override { return m_connect; }

    // Every column of the database's tables whose declared type is text, as
    // read when the file was opened.
    const QStringList &textColumns() const { return m_textColumns; }
    // Replaces the step that turns the host's text into SQLite's.
    void setRewriter(std::shared_ptr<const StatementRewriter> rewriter) { m_rewriter = std::move(rewriter); }
    // The plans asked before a statement is translated (null: none); those
    // registered (registerSqlitePlans) are set when the connection opens.
    SqlitePlans *plans() const;
    void setPlans(std::shared_ptr<SqlitePlans> plans);
    // The open database, for the plans.
    Handle &handle() const { return *m_handle; }

    SqliteConnection(std::shared_ptr<Handle> handle, QString connect, QStringList textColumns);

private:
    std::shared_ptr<Handle> m_handle;
    QString m_connect;
    QStringList m_textColumns;
    std::shared_ptr<const StatementRewriter> m_rewriter;
};

} // namespace rdo
