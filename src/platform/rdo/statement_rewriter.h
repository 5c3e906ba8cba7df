#pragma once
// The one step between the statement text the control built and the text an
// engine runs. The control's text is kept as it was written (for SQL Server);
// a back end that runs another dialect rewrites it here, on the way in, and
// nowhere else, so that another rewriting (say, one decided at execution time)
// replaces this object and nothing more.

#include "tsql_translator.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace rdo {

// A statement run as several, each of which gives its rows already in the
// order of the whole, so that the back end merges them as they are read
// instead of sorting everything before the first row.
struct MergedStatement {
    struct Stream {
        QString sql;  // in the engine's dialect
        int branch = 0; // among rows equal in the order, a lower branch comes first
        // The rows come article by article in the order of the name that
        // leads the displayed name (the article's, before the variety's),
        // which the displayed name always begins with; the back end holds rows
        // back until no later row can come before them. The driver reads
        // every candidate article in that order, then by code: its article,
        // its leading name, whether it has rows at all and its code; sql then
        // gives one article's rows, for the article bound to ?1, with a hidden
        // last column.
        bool byLeadingName = false;
        QString driver;
        // A stream of rows sorted apart whose articles may be too many to
        // sort at the till (a code of one character matches most of a
        // catalogue): candidates selects those articles, in no order. When
        // there are at most mostToSort of them, the stream's statement is sql
        // narrowed to their list ("And ArtID In (list)") and then sortedBy;
        // else the stream runs by leading name over the whole name index
        // instead, as manySql and manyDriver say (the roles of sql and driver
        // above).
        QString candidates = {}, sortedBy = {}, manySql = {}, manyDriver = {};
        // A driver over a range of names reads it from the parameter kDriverFrom,
        // bound to lowest (the range's least key) or further on: the back end
        // may pass over stretches of the index that leads with leadingColumn
        // where no article has a text like pattern, when every article the
        // driver says has rows has one (empty pattern: none is known).
        QString lowest = {}, leadingColumn = {}, pattern = {};
    };
    std::vector<Stream> streams;
    int mostToSort = 0;
    // Column positions the order is decided by, in the rows of every stream:
    // displayed name, code, then article and variety among rows equal in both.
    int nameColumn = 0, codeColumn = 0, articleColumn = 0, varietyColumn = 0;
    int visibleColumns = 0;
};

class StatementRewriter {
public:
    virtual ~StatementRewriter() = default;
    virtual QString rewrite(const QString &tsql) const = 0;
    // The statement as merged streams, when this rewriter knows a better way
    // to run it that way; rewrite() is then not used for it.
    virtual std::optional<MergedStatement> merged(const QString &) const { return std::nullopt; }
};

// Sends the text as written (SQL Server, or any engine that reads Transact-SQL).
class VerbatimStatements final : public StatementRewriter {
public:
    QString rewrite(const QString &tsql) const override { return tsql; }
};

// The name under which the embedded back end registers SQL Server's text
// comparison as a collation.
inline constexpr char kServerCollation[] = "SQLSERVER";
// The parameter a driver over a range of names reads it from (see
// MergedStatement::Stream::lowest). A driver binds no other of its own, and
// the values taken out of its text are bound from ?2 on.
inline constexpr char kDriverFrom[] = "?1";

// Transact-SQL to SQLite (translateForSqlite), knowing the database's text
// columns. With serverCollation, text comparisons and sort keys are then
// pinned to kServerCollation (see withServerCollation); that needs a
// connection on which the collation is registered, so it is off for an SQLite
// file reached through an ODBC driver.
class SqliteTranslation final : public StatementRewriter {
public:
    SqliteTranslation(QStringList textColumns, bool serverCollation);
    QString rewrite(const QString &tsql) const override;

private:
    QStringList m_textColumns;
    TranslationOptions m_options;
    bool m_serverCollation;
};

// Adds "COLLATE SQLSERVER" to every Order By term and to every text column
// compared with =, <>, !=, <, >, <=, >=, In or Between, outside literals. The
// host's SQLite files declare their codes and names NOCASE, which folds ASCII
// letters only and counts trailing blanks; SQL Server's default collation
// folds all letters and ignores trailing blanks, and the control's statements
// rely on that ('ñandú' = 'ÑANDÚ', 'CODE  ' = 'code'). SQLite does not let a
// connection redefine NOCASE safely (the files' indexes are ordered by the
// built-in one), hence an explicit collation on each comparison. Text already
// carrying a COLLATE is left alone.
QString withServerCollation(const QString &sqliteSql, const TranslationOptions &options);

} // namespace rdo
