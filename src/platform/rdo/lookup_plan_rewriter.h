#pragma once
// The control's lookup statement, made to probe indexes on the embedded back
// end. The statement matches typed text with LIKE (SQL Server's, installed as a
// function, which SQLite cannot answer from an index) and scanned codes with
// "'code' Like ACBCodigo" (a pattern in the column, which no index answers
// either), so as written it reads every article and every bar code.
//
// The rewriting adds to a branch it recognises one more condition, "the row is
// among these candidates", whose candidates come from index ranges and index
// look-ups and are a superset of the rows the branch's own conditions accept.
// Every original condition stays as it was, so the rows, their columns and the
// compound's Order By are unchanged; the candidates only tell SQLite where to
// look. A branch or a statement of another shape is left as it was.

#include "statement_rewriter.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>

namespace rdo {

// The statement with each recognised branch's candidates added, for the
// SQLite translation to follow; the added conditions are already written as
// SQLite reads them (their comparisons carry kServerCollation), which the
// translation leaves alone. The statement comes back unchanged when it is not
// a lookup of the control's shape. The back end runs a lookup as merged
// streams (merged()); this single statement is what it runs when a stream
// cannot be prepared, for instance on a file without data/indexes.sql.
QString withIndexProbes(const QString &tsql);

// The embedded back end's default rewriter: withIndexProbes, then the SQLite
// translation with the server collation, for a single statement; merged
// streams for the control's lookups. The indexes both use are those of
// data/indexes.sql; without them a lookup runs as one statement, as before.
class LookupPlanRewriter final : public StatementRewriter {
public:
    // Rows found apart from the name's order are sorted when their articles
    // are at most mostToSort; more (a code of one character) are read in the
    // name's order instead, which finds a screenful at once when they are
    // that many. Sorting 2,000 articles' rows costs about what reading the
    // name index of a million articles for a screenful of 2,000 costs.
    explicit LookupPlanRewriter(QStringList textColumns, int mostToSort = 2000);
    QString rewrite(const QString &tsql) const override;
    // The lookup as ordered streams: per branch, the rows whose displayed
    // name's leading name lies in the typed text's range, read in the order of
    // that name's index (all of the company's articles when the text begins
    // with a wildcard or is blank), and the rows that match by another column,
    // few and sorted; the bar-code branches sorted. The back end merges them,
    // so the first rows of a long list are ready without sorting the rest.
    std::optional<MergedStatement> merged(const QString &tsql) const override;

private:
    // The translation of a piece of a statement, kept for the next lookup.
    QString translated(const QString &fragment) const;

    SqliteTranslation m_translation;
    int m_mostToSort;
    mutable std::mutex m_mutex;
    mutable QHash<QString, QString> m_fragments;
};

} // namespace rdo
