#pragma once
// The ODBC back end's hook for conditions registered from outside it: before
// a statement is rewritten for the engine, a connection's narrowing may add
// conditions that only narrow where the server looks. The back end knows no
// statement of any application; a narrowing that does (the article lookup's,
// in src/lookup/plan) lives with that application.

#include <QString>

#include <functional>

namespace rdo {

class OdbcConnection;

// The statement with conditions added that leave its rows and their order as
// they are, or the statement itself.
using OdbcNarrowing = std::function<QString(const QString &tsql)>;

// Makes the narrowing of each ODBC connection opened from now on, in this
// process, given the connection just opened (which it may read, to learn what
// the data source holds); null leaves the statements as they are. One maker: a
// later one replaces the earlier.
using OdbcNarrowingMaker = std::function<OdbcNarrowing(OdbcConnection &)>;
void registerOdbcNarrowing(OdbcNarrowingMaker maker);

} // namespace rdo
