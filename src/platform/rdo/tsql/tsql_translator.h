#pragma once
// The control writes its statements in Transact-SQL, for SQL Server. The
// embedded SQLite back end runs the very same text after this translation,
// which rewrites only what SQLite reads differently and never touches what
// stands inside a string literal.
//
// LIKE is left as written: the back end overrides SQLite's like(X, Y), which
// the LIKE operator calls, with SQL Server's matching (sqlserver_text.h). That
// keeps the statement text and the positions of every literal unchanged.

#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/tokens.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace rdo {

// True when a ';' outside a literal or comment is followed by more than blanks
// and comments: the back end runs a single command per call.
bool holdsSeveralStatements(const QString &tsql);

struct TranslationOptions {
    // Tells whether a column holds text, given its bare name (without the table
    // qualifier). '+' between two columns is concatenation in SQL Server only
    // because their type is text, which the statement text alone does not say.
    std::function<bool(QStringView column)> isTextColumn;
    // The engine's name of a column's type given its bare name, empty when
    // unknown. SQL Server gives the Null of one branch of a Union the type
    // of the other branches' column; PostgreSQL types two Nulls that meet
    // first as text, so there the Null is cast to the column's type.
    std::function<QString(QStringView column)> columnType = {};
    // How PostgreSQL's translation compares text: accents kept (SQL Server's
    // default collation) or ignored (a _CI_AI one), folded as the embedded
    // back end folds them (sqlserver_text.h). The embedded back end compares
    // through the functions it installs, whatever this says.
    TextCollation collation = TextCollation::AccentSensitive;
    // Whether the PostgreSQL server has the functions TextoPlegado and
    // TextoPlegadoSinAcentos of data/postgresql/indexes.sql, which fold text
    // as the translation's expressions do, and their indexes.
    bool serverFolds = false;
};

// A TranslationOptions that knows the given columns as text (letter case of
// the names ignored, as in SQL Server).
TranslationOptions textColumns(const QStringList &columns);

// Rewrites, outside literals:
//  - Select [Distinct] Top n ... -> the select without "Top n" and " LIMIT n"
//    at its end; a Top in one branch of a Union is wrapped as
//    "SELECT * FROM (... LIMIT n)" so that the limit stays with that branch;
//  - '+' between text operands -> '||' (a string literal, a text function such
//    as RTrim, LTrim, Upper, Left, an IsNull/Coalesce over text, or a column the
//    options call text; a whole '+' chain is text when one operand is);
//  - IsNull( -> ifnull(; N'...' -> '...';
//  - True / False used as a condition -> 1 / 0.
QString translateForSqlite(const QString &tsql, const TranslationOptions &options = {});

// The same for PostgreSQL (Top, '+', IsNull -> coalesce, N'...'; True and False
// are its own), and SQL Server's text semantics besides: LIKE becomes SIMILAR
// TO on both sides lowered over all of Unicode and composed, the pattern's
// SIMILAR TO operators escaped; a text compared with =, <>, <, >, <=, >= and a
// text Order By term become SQL Server's sort key (trailing blanks dropped,
// composed, lowered, in code point order; without accents too under
// options.collation AccentInsensitive); Order By puts Nulls first, as SQL
// Server does. Needs a server whose database is in UTF-8 and has ICU.
QString translateForPostgres(const QString &tsql, const TranslationOptions &options = {});

} // namespace rdo
