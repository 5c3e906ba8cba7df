#pragma once
// The rows of a lookup run as ordered streams (MergedStatement), merged as
// they are read.

#include "sqlite_internals.h"

#include <memory>
#include <vector>

namespace rdo {

// One stream of a merged statement as prepared: its rows, and for a stream by
// leading name the driver that says which article's rows to read next.
struct PreparedStream {
    StatementCache::Statement rows, driver;
    int branch = 0;
    bool byLeadingName = false;
    // For a driver over a range of names: how it reads the range, from its
    // parameter fromParameter.
    std::optional<ScreenedRange> range = {};
    int fromParameter = 0;
};

// The SQL function a driver may pass over articles with, PasaElLimite(name):
// true for a name past the row the merge is deciding on, where a driver need
// not be read further, or at or past the name where its run of blocks stops.
// Installed on each connection.
inline constexpr char kDriverLimitFunction[] = "PasaElLimite";
int installDriverLimit(SqliteConnection::Handle &handle);

// The result set over the prepared streams of plan (at least one); values are
// read as the compound's would be, by the column types of the first.
std::shared_ptr<rdoResultset> mergedRows(std::shared_ptr<SqliteConnection::Handle> handle,
                                         const MergedStatement &plan, std::vector<PreparedStream> streams);

} // namespace rdo
