#pragma once
// What the embedded back end's connection and its result sets share: the open
// database with its kept statements, and how SQLite's errors and values are
// read.

#include "platform/rdo/sqlite/sqlite_connection.h"
#include "platform/rdo/sqlite/sqlite_plans.h"
#include "platform/rdo/sqlite/statement_cache.h"

#include "platform/rdo/tsql/sqlserver_text.h"

#include "platform/vb/error.h"

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rdo {

inline const QString kSqliteSource = QStringLiteral("SQLite");

struct SqliteConnection::Handle {
    sqlite3 *db = nullptr;
    // How the connection compares text (its connection string's collation).
    TextCollation collation = TextCollation::AccentSensitive;
    std::unique_ptr<StatementCache> statements; // the statements kept for the next call
    // The plans registered for this connection (see SqlitePlans). They go
    // before the database closes, and after the kept statements, as the SQL
    // functions they install on it may point into them.
    std::shared_ptr<SqlitePlans> plans;
    // The first key past which the driver being read may stop (see
    // mergedRows), and the key at which it stops (see DriverRange).
    std::optional<std::string> driverLimit;
    const std::string *driverStop = nullptr;
    ~Handle()
    {
        statements.reset();
        plans.reset();
        sqlite3_close_v2(db);
    }
};

// The connection's last error as the host sees it, with what it was doing.
vb::Error engineError(sqlite3 *db, const QString &context = {});

// What a statement's column is declared as where it is a table's column
// (sqlite3_column_decltype), by SQLite's rules for its affinity: worked out
// once for the statement, not for each value.
enum class DeclaredAs { Nothing, Text, Real, Other };
DeclaredAs declaredAs(const char *declaredType);

// A column of the current row, by what the column is declared as where it is a
// table column, else by what the value is stored as.
vb::Variant columnValue(sqlite3_stmt *stmt, int column, DeclaredAs declared);

// A value's text as SQLite stores it in UTF-8, NUL characters included.
inline std::string_view utf8Bytes(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return {text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value))};
}

// What match(pattern) gives for the LIKE pattern in argument `argument` of a
// call to an SQL function. A pattern written in the statement is compiled at
// its first call and kept with the statement. None, with the call's error
// set, for a pattern over 8,000 bytes: SQL Server refuses those, and matching
// one costs its length for every character of every row, so a pasted page
// would hold a lookup for minutes.
template <typename Match>
std::optional<bool> withKeptLikePattern(sqlite3_context *context, sqlite3_value **argv, int argument, Match &&match,
                                        TextCollation collation = TextCollation::AccentSensitive)
{
    if (const auto *kept = static_cast<const SqlServerLikePattern *>(sqlite3_get_auxdata(context, argument)))
        return match(*kept);
    const std::string_view text = utf8Bytes(argv[argument]);
    if (text.size() > 8000) {
        sqlite3_result_error(context, "The LIKE pattern is longer than 8000 bytes", -1);
        return std::nullopt;
    }
    auto pattern = std::make_unique<SqlServerLikePattern>(text, collation);
    const bool matched = match(*pattern);
    sqlite3_set_auxdata(context, argument, pattern.release(),
                        [](void *kept) { delete static_cast<SqlServerLikePattern *>(kept); });
    return matched;
}

} // namespace rdo
