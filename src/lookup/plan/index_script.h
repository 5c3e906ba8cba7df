#pragma once
// The indexes the lookup plans probe (data/indexes.sql), compiled in so that a
// host, a tool or a bench can create them on a file without the source tree.

#include "lookup_indexes.h"

#include "platform/rdo/sqlite/sqlite_connection.h"

#include <sqlite3.h>

namespace lookup {

// Creates on a writable connection the indexes the lookups probe (which need
// SQL Server's text comparison installed first, done here) and refreshes the
// planner's statistics. Returns SQLITE_OK or the error code.
inline int createLookupIndexes(sqlite3 *db)
{
    if (const int installed = rdo::installServerText(db); installed != SQLITE_OK)
        return installed;
    if (const int created = sqlite3_exec(db, kLookupIndexesSql, nullptr, nullptr, nullptr); created != SQLITE_OK)
        return created;
    // A sampled analysis is plenty for the planner to prefer the probes.
    return sqlite3_exec(db, "PRAGMA analysis_limit = 2000; ANALYZE", nullptr, nullptr, nullptr);
}

} // namespace lookup
