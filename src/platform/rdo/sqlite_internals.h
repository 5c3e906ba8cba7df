#pragma once
// What the embedded back end's connection and its result sets share: the open
// database with its kept statements, and how SQLite's errors and values are
// read.

#include "articles_with_varieties.h"
#include "sqlite_connection.h"
#include "statement_cache.h"

#include "platform/vb/error.h"

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

namespace rdo {

inline const QString kSqliteSource = QStringLiteral("SQLite");

struct SqliteConnection::Handle {
    sqlite3 *db = nullptr;
    std::unique_ptr<StatementCache> statements; // the lookups' statements
    ArticlesWithVarieties varieties;
    // The name past which the driver being read may stop (see mergedRows).
    std::optional<std::string> driverLimit;
    ~Handle()
    {
        statements.reset();
        sqlite3_close_v2(db);
    }
};

// The connection's last error as the host sees it, with what it was doing.
vb::Error engineError(sqlite3 *db, const QString &context = {});

// A column of the current row, by what the column is declared as where it is a
// table column, else by what the value is stored as.
vb::Variant columnValue(sqlite3_stmt *stmt, int column, const char *declaredType);

} // namespace rdo
