#pragma once
// The embedded engine's hook for plans registered from outside it: before the
// engine translates a statement, a connection's plans may run it their own
// way. The engine knows no statement of any application; a plan that does
// (the article lookup's, in src/lookup/plan) lives with that application.

#include "platform/rdo/sqlite/sqlite_connection.h"

#include <QString>

#include <functional>
#include <memory>

namespace rdo {

class SqlitePlans {
public:
    virtual ~SqlitePlans() = default;
    // Called with the statement as the host wrote it, before any
    // translation: a result set when the plans run it their own way, null to
    // let the engine translate and run it. A plan must give the rows and the
    // order the statement as written gives, and null whenever it cannot be
    // sure of them, so that the statement runs and speaks of a real error in
    // its own words.
    virtual std::shared_ptr<rdoResultset> open(const QString &tsql,
                                               const std::shared_ptr<SqliteConnection::Handle> &handle) = 0;
    // What the engine translates in place of tsql when open() gave null: the
    // statement with conditions added that only narrow where to look, or
    // tsql itself.
    virtual QString narrowed(const QString &tsql) const { return tsql; }
};

// Makes the plans of each SQLite connection opened from now on, in this
// process (one maker: a later one replaces the earlier).
using SqlitePlansMaker = std::function<std::shared_ptr<SqlitePlans>(SqliteConnection &)>;
void registerSqlitePlans(SqlitePlansMaker maker);

} // namespace rdo
