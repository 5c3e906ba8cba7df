#pragma once
// Prepared statements of the embedded back end, kept from one lookup to the
// next. A lookup prepares several statements of a few kilobytes each (the
// list layout's joins in every one), which costs SQLite more than running
// them on the indexes; the next lookup of the same kind differs from it only
// in the text typed. So the typed values are taken out of a statement's text
// (each text literal after its first From becomes a parameter), and a
// statement prepared for that shape is reused with the new values bound.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace rdo {

// A statement's text with its text literals taken out, and their values.
struct ParametrizedText {
    QByteArray shape;               // the text, each literal taken out written ?N
    std::vector<QByteArray> values; // in UTF-8, bound to ?2, ?3, ... in order
};

// The literals after the statement's first From at the outer level, and
// those of the select list's terms that end in "As name" (others keep their
// literals: they can name result columns), except those the indexes' own
// conditions are written with ('_', '[', '%', ' ', '*[^ -~]*', which a
// partial index matches in the statement's text). Parameters are numbered
// from 2: the back end's own statements bind ?1.
ParametrizedText parametrized(const QString &sql);

class StatementCache {
public:
    explicit StatementCache(sqlite3 *db) : m_db(db) {}
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    struct GiveBack {
        StatementCache *cache = nullptr;
        void operator()(sqlite3_stmt *stmt) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, GiveBack>;

    // A statement for sql with its values bound: one kept for its shape when
    // one is idle, else newly prepared; null when sql does not prepare (the
    // connection's error message says why). Given back when released.
    Statement take(const QString &sql);
    // The integer sql gives first (a count, a version); none when it does not
    // prepare, fails or gives no integer.
    std::optional<int64_t> firstInteger(const QString &sql);

private:
    void keep(sqlite3_stmt *stmt);

    // A till's lookups take a few dozen shapes; beyond this many idle
    // statements, those of the shape used longest ago go.
    static constexpr int kMostKept = 64;

    struct Idle {
        std::vector<sqlite3_stmt *> statements;
        quint64 lastKept = 0;
    };
    sqlite3 *m_db;
    QHash<QByteArray, Idle> m_idle;
    QHash<sqlite3_stmt *, QByteArray> m_shapes; // every statement handed out or kept
    int m_kept = 0;
    quint64 m_keeps = 0;
};

} // namespace rdo
