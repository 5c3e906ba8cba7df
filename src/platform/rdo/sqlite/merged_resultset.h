#pragma once
// The rows of several ordered statements ("streams"), merged as they are read:
// a plan that can give a statement's rows in pieces already in its order
// spares the engine sorting them all before the first row. It knows the rows'
// columns by position only.

#include "platform/rdo/sqlite/sqlite_internals.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rdo {

// How the merged rows are ordered, by column positions that every stream's
// rows share: the text keys in turn (SQL Server's collation, Null first), then
// the stream's branch, then the tie columns (integers: the order the engine's
// stable sort keeps among rows of one branch equal in the keys).
struct MergedOrder {
    int visibleColumns = 0;
    std::array<int, 2> textKeys{};
    std::array<int, 2> tieKeys{};
};

// How a driver reads a range of first keys in runs, passing over stretches
// where the plan knows no group has rows.
class DriverRange {
public:
    virtual ~DriverRange() = default;
    // Whether the driver reads on where it is, or must be set at nextRun().
    virtual bool positioned() const = 0;
    // The key to read from, bound to the driver's fromParameter; none when
    // nothing is left to read.
    virtual std::optional<std::string> nextRun() = 0;
    // The key at which the current run stops, if it does.
    virtual const std::string *stop() const = 0;
    // The driver gave a group of this first key.
    virtual void gave(std::string_view firstKey) = 0;
};

// One stream as prepared. A sorted stream's statement gives its rows in the
// merged order. A driven stream's rows come group by group: its driver gives
// one row per group, ordered by the first text key and then the second, with
// the value its rows statement takes as ?1 (column 0), the group's first key
// (1), whether the group has rows at all (2) and its second key (3); every row
// of a group sorts at or after the group's keys, and the rows statement gives
// a group's rows with one hidden last column. A driver's groups may come
// listed instead, in the same order, each with rows to try.
struct ListedGroup {
    int64_t value = 0; // bound to the rows statement's ?1
    std::optional<std::string> firstKey, secondKey;
    bool hasRows = true;
};
// The listed groups, each made when the merge reaches it: a list over every
// article may list tens of thousands that no one scrolls to.
class ListedGroups {
public:
    virtual ~ListedGroups() = default;
    virtual size_t size() const = 0;
    virtual ListedGroup at(size_t group) const = 0;
};
struct PreparedStream {
    StatementCache::Statement rows, driver;
    // Given, the driver orders its groups by the first key alone, and this
    // statement gives the second key of the group whose value is bound to ?1:
    // it is read for the groups of a first key shared by several, before any
    // of their rows. A common name leads hundreds of articles, of which the
    // list shows a few.
    StatementCache::Statement secondKeys = {};
    std::shared_ptr<const ListedGroups> listed = {}; // given: the driver is not read
    int branch = 0; // among rows equal in the keys, a lower branch comes first
    bool driven = false;
    std::unique_ptr<DriverRange> range = {}; // for a driver over a range of keys
    int fromParameter = 0;                   // where range's keys are bound
};

// The SQL function a driver may pass over groups with, PasaElLimite(key):
// true for a first key past the row the merge is deciding on, where a driver
// need not be read further, or at or past the key where its range's run
// stops. Installed on each connection.
inline constexpr char kDriverLimitFunction[] = "PasaElLimite";
int installDriverLimit(SqliteConnection::Handle &handle);

// The result set over the prepared streams (at least one); values are read as
// a compound's would be, by the column types of the first.
std::shared_ptr<rdoResultset> mergedRows(std::shared_ptr<SqliteConnection::Handle> handle, const MergedOrder &order,
                                         std::vector<PreparedStream> streams);

} // namespace rdo
