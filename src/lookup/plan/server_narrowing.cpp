// A lookup on a database server: the server plans the statement itself, but
// no index of its own serves a variety's name run together with its
// article's, so a server that keeps those names (data/postgresql/indexes.sql)
// is sent the lookups narrowed to the articles they can find there. The
// conditions are written in Transact-SQL, as the lookup itself is: the
// connection's translation makes them the server's comparisons along with the
// rest of the statement, accents kept or ignored as its collation says, so
// that they read the same indexes (their twins, ignoring accents) and narrow
// to the articles the lookup can find.

#include "lookup/plan/lookup_planner.h"

#include "platform/rdo/odbc/odbc_connection.h"
#include "platform/vb/error.h"

namespace lookup {

namespace {

// Whether the data source keeps the joined names where this till may read them.
bool keepsVarietyNames(rdo::OdbcConnection &connection)
{
    try {
        connection.OpenResultset(QStringLiteral("Select AVaArticulo From ArticuloVariedadNombres Where 1 = 0"));
        return true;
    } catch (const vb::Error &) {
        return false;
    }
}

// Registered when the library is loaded, as the embedded engine's plans are.
[[maybe_unused]] const bool kRegistered = [] {
    rdo::registerOdbcNarrowing([](rdo::OdbcConnection &connection) -> rdo::OdbcNarrowing {
        if (!keepsVarietyNames(connection))
            return nullptr;
        return withVarietyNames;
    });
    return true;
}();

} // namespace

} // namespace lookup
