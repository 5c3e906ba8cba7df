#pragma once
// The one step between the statement text the control built and the text an
// engine runs. The control's text is kept as it was written (for SQL Server);
// a back end that runs another dialect rewrites it here, on the way in, and
// nowhere else, so that another rewriting (say, one decided at execution time)
// replaces this object and nothing more.

#include "platform/rdo/tsql/tsql_translator.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace rdo {

class StatementRewriter {
public:
    virtual ~StatementRewriter() = default;
    virtual QString rewrite(const QString &tsql) const = 0;
};

// Sends the text as written (SQL Server, or any engine that reads Transact-SQL).
class VerbatimStatements final : public StatementRewriter {
public:
    QString rewrite(const QString &tsql) const override { return tsql; }
};

// The name under which the embedded back end registers SQL Server's text
// comparison as a collation.
inline constexpr char kServerCollation[] = "SQLSERVER";

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

// Transact-SQL to PostgreSQL (translateForPostgres), knowing the database's
// text columns and the types of its columns (by bare name, letter case
// ignored), comparing text under the given collation, through the server's
// fold functions where it has them (TranslationOptions::serverFolds).
class PostgresTranslation final : public StatementRewriter {
public:
    PostgresTranslation(const QStringList &textColumns, const QHash<QString, QString> &columnTypes,
                        TextCollation collation, bool serverFolds);
    QString rewrite(const QString &tsql) const override { return translateForPostgres(tsql, m_options); }

private:
    TranslationOptions m_options;
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
