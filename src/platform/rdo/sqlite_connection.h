#pragma once
// The embedded back end: a SQLite file standing in for the shop's server. It
// runs the control's Transact-SQL after the SqliteTranslation rewriting, with
// SQL Server's LIKE and text comparison installed, and never writes.

#include "rdo.h"
#include "statement_rewriter.h"

#include <QStringList>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace rdo {

// Installs on a SQLite connection what makes it compare text as SQL Server
// does: like(X, Y) (the LIKE operator) as sqlServerLike, and the collation
// kServerCollation as sqlServerCompare. Returns SQLITE_OK or the error code.
int installServerText(sqlite3 *db);

// Creates on a writable connection the indexes the lookups probe
// (data/indexes.sql, which needs installServerText first, done here) and
// refreshes the planner's statistics. Returns SQLITE_OK or the error code.
int createLookupIndexes(sqlite3 *db);

struct PreparedStream;

class SqliteConnection final : public rdoConnection {
public:
    struct Handle; // the open database, shared with the result sets

    // "sqlite:PATH". The file is opened read-only and must exist.
    static std::shared_ptr<SqliteConnection> open(const QString &connectionString);

    std::shared_ptr<rdoResultset> OpenResultset(const QString &sql, int16_t type = rdOpenDynamic,
                                                int16_t lockType = rdConcurValues) override;
    QString Connect() const override { return m_connect; }

    // Every column of the database's tables whose declared type is text, as
    // read when the file was opened.
    const QStringList &textColumns() const { return m_textColumns; }
    // Reads now what the lookups keep in memory about the file (which
    // articles have varieties, which letters each stretch of the names'
    // indexes holds), which they otherwise read when first needed, the
    // stretches in the background (about 1 s at a million articles) while
    // lookups read every stretch. A till may call it while it starts.
    void prepareLookups();
    // Replaces the step that turns the control's text into SQLite's.
    void setRewriter(std::shared_ptr<const StatementRewriter> rewriter) { m_rewriter = std::move(rewriter); }

    SqliteConnection(std::shared_ptr<Handle> handle, QString connect, QStringList textColumns);

private:
    // The result set of a statement the rewriter runs as merged streams, or
    // null when one of them cannot be prepared.
    std::shared_ptr<rdoResultset> openMerged(const MergedStatement &plan);
    // The articles a stream's candidates statement selects, as a list of
    // SQL text literals of their numbers (empty when there are none), or none when there are more
    // than most of them.
    std::optional<QString> listedArticles(sqlite3_stmt *candidates, int most) const;
    // Sets how a driver over a range of names reads it; false when its
    // statement has no parameter to read it from.
    bool readsRange(PreparedStream &prepared, const MergedStatement::Stream &stream);

    std::shared_ptr<Handle> m_handle;
    QString m_connect;
    QStringList m_textColumns;
    std::shared_ptr<const StatementRewriter> m_rewriter;
};

} // namespace rdo
