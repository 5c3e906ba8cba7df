#pragma once
// Recognises the control's lookup statement and plans how the embedded engine
// runs it: as ordered streams, or as one statement with index probes added.

#include "lookup/plan/file_keys.h"
#include "lookup/plan/lookup_plan.h"

#include "platform/rdo/tsql/statement_rewriter.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

namespace lookup {

struct BranchPlanning;

// The statement with each recognised branch's candidates added, for the
// SQLite translation to follow; the added conditions are already written as
// SQLite reads them (their comparisons carry rdo::kServerCollation), which the
// translation leaves alone. The statement comes back unchanged when it is not
// a lookup of the control's shape. The engine runs a lookup as merged streams
// (LookupPlanner::plan); this single statement is what it runs when a stream
// cannot be prepared, for instance on a file without data/indexes.sql.
QString withIndexProbes(const QString &tsql, const FileKeys &keys = {});

// The statement with each recognised branch that joins the varieties narrowed
// to the articles a database server finds on its indexes: by their own
// columns, and by the names run together with a variety's that the server
// keeps in ArticuloVariedadNombres (data/postgresql/indexes.sql). Unchanged
// when the statement is not a lookup of the control's shape.
QString withVarietyNames(const QString &tsql);

struct PlannerOptions {
    // Rows found apart from the name's order are sorted when their articles
    // are at most this many; more (a code of one character) are read in the
    // name's order instead, which finds a screenful at once when they are
    // that many (see bench/README.md for the crossing point).
    int mostToSort = 2000;
    // Whether a lookup runs as merged streams; else as one statement with
    // its index probes.
    bool streams = true;
    // Whether the connection ignores accents: the odd articles (kOddArticles)
    // are then all candidates of every lookup, as "AZÚCAR" lies outside the
    // range of "azucar" on any index; the others are found by their ranges
    // as before, where ignoring accents changes nothing for a text of ASCII.
    bool accentsIgnored = false;
    // Whether the connection keeps the odd articles in memory for the streams
    // to list (see OddArticles); else their drivers read the file's indexes.
    bool oddArticlesKept = true;
    // Whether the file declares ArtNombre Not Null: a driver over the whole
    // name index may then be read from a name on, passing over the stretches
    // that cannot hold its rows (see NameBlocks). Where a name may be Null,
    // its articles lie at the start of the index, before every name.
    bool namesNeverNull = false;
};

class LookupPlanner {
public:
    explicit LookupPlanner(QStringList textColumns, PlannerOptions options = {});

    // The lookup as ordered streams: per branch, the rows whose displayed
    // name's leading name lies in the typed text's range, read in the order of
    // that name's index (all of the company's articles when the text begins
    // with a wildcard or is blank), and the rows that match by another column,
    // few and sorted; the bar-code branches sorted. With fileKeys, the keys of
    // a file without data/indexes.sql: per branch, the articles those keys
    // find, sorted by key, their rows read article by article. None for a
    // statement of another shape, or when streams are off.
    std::optional<LookupPlan> plan(const QString &tsql, const std::optional<FileKeys> &fileKeys = std::nullopt) const;
    const PlannerOptions &options() const { return m_options; }

private:
    friend struct BranchPlanning;
    // The translation of a piece of a statement, kept for the next lookup.
    QString translated(const QString &fragment) const;

    rdo::SqliteTranslation m_translation;
    PlannerOptions m_options;
    mutable std::mutex m_mutex;
    mutable QHash<QString, QString> m_fragments;
};

} // namespace lookup
