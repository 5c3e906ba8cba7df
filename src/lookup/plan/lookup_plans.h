#pragma once
// The article lookup's plans on the embedded engine: how a connection runs the
// control's lookup statements fast, installed through the engine's plan hook.
//
// Linking the lookup library is what installs them: it registers them with
// the engine when it is loaded (rdo::registerSqlitePlans), so that every
// SQLite connection opened in the process (the control's, the host's item
// list running the control's statement, a bench's, a test's) gets its own.
// installLookupPlans sets them on one connection with other options, before
// it runs a statement (the functions of plans it replaces go with them); a
// connection with setPlans(nullptr) runs every statement as written.

#include "lookup/plan/lookup_planner.h"

#include <memory>

namespace rdo {
class rdoConnection;
class SqliteConnection;
} // namespace rdo

namespace lookup {

void installLookupPlans(rdo::SqliteConnection &connection, PlannerOptions options = {});

// Reads now what the lookups keep in memory about the file (which articles
// have varieties, which letters each stretch of the names' indexes holds),
// which they otherwise read when first needed, the stretches in the
// background while lookups read every stretch. A till may call it while it
// starts; nothing happens on a connection without the lookup's plans.
void prepareLookups(rdo::rdoConnection &connection);

// How the file of a connection with the lookup's plans orders the columns a
// lookup searches, as its indexes tell; none known without the plans.
std::optional<FileKeys> fileKeysOf(rdo::rdoConnection &connection);

} // namespace lookup
