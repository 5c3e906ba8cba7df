#pragma once
// The indexes the lookups read on a shop's file (data/indexes.sql), compiled
// in so that the administrator's tool, a host or a bench gives them to a file
// without the source tree; and what a file's indexes mean for its lookups.

#include <QString>
#include <QStringList>

struct sqlite3;

namespace lookup {

// What giving a file the lookup indexes did.
struct LookupIndexing {
    int code = 0; // SQLITE_OK, or the engine's error, told in error
    QString error;
    QStringList dropped; // an earlier version's: in SQL Server's order, or of another definition
    QStringList created; // the indexes, tables and triggers the file lacked
    bool ok() const { return code == 0; }
};

// Gives the file of a writable connection the lookup indexes, all or nothing:
// drops the indexes an earlier version ordered by SQL Server's rules (which
// kept every program without our library from writing the file) or defined
// otherwise under the same name, creates what the file lacks and refreshes
// the planner's statistics. Again on the same file it creates nothing.
LookupIndexing createLookupIndexes(sqlite3 *db);

// What each kind of lookup will read on the file of a connection, and why:
// one line per kind, then what else the file has or lacks for the lookups.
QStringList lookupReadings(sqlite3 *db);

} // namespace lookup
