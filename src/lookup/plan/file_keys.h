#pragma once
// Which of a shop file's indexes the lookups can read by range, and in what
// order they keep the texts, as the file's own catalogue of indexes says.

#include "lookup/plan/key_ranges.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

namespace lookup {

// The text columns of every row a statement on the file's schema gives
// (nothing when it cannot be read). Null texts come as empty ones.
QList<QStringList> schemaRows(sqlite3 *db, const QByteArray &sql, int columns = 1);

// Whether the file's schema holds a table, index or trigger of this name.
bool fileHas(sqlite3 *db, const QString &name);

// An index that holds every row of a table and leads with a column.
struct LeadingIndex {
    QString name;
    KeyOrder order;
};

// The index the lookups read for a column: of those leading with it, the one
// in SQL Server's order (an earlier version's script), else NOCASE, which
// needs the fewest ranges, else SQLite's own; none when no index leads with
// the column in a collation we can read.
std::optional<LeadingIndex> leadingIndex(sqlite3 *db, const char *table, const char *column);

// How the file's indexes order the columns a lookup reads by range: none
// where no index leads with the column. By default, as an earlier version's
// index script ordered them.
struct FileKeys {
    std::optional<KeyOrder> code = KeyOrder::Server, name = KeyOrder::Server, shortName = KeyOrder::Server,
                            barCode = KeyOrder::Server;
    std::optional<KeyOrder> of(const QString &column) const;
    bool operator==(const FileKeys &) const = default;
};

FileKeys fileKeysOf(sqlite3 *db);

} // namespace lookup
