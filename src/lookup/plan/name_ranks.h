#pragma once
// Each article's place in the list's order of its name, kept per connection on
// a file without our index script. A code of two digits begins some 7,500
// codes at a million articles: their identifiers come off the code's
// index at once, and their places put them in the list's order without
// reading a name. Only the articles the list reaches are read.

#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/statement_cache.h"
#include "platform/rdo/tsql/sqlserver_text.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lookup {

class NameRanks {
public:
    // What tells, on a till's connection, that the names may have changed:
    // its data_version, which moves at every other connection's commit.
    // Read without the schema, which a writer's lock would have it wait for.
    static std::optional<int64_t> stampNow(rdo::StatementCache &statements)
    {
        return statements.firstInteger(QStringLiteral("PRAGMA data_version"));
    }
    // Reads them on statements' connection for the column (ArtNombre or
    // ArtNombreCorto), as the file stood at stamp. Nothing is kept without a stamp, on
    // a file with no index that leads with the column, or where the index's
    // order strays too far from the list's (names written in either case on
    // a file in SQLite's own order): they would take too much memory.
    static NameRanks read(rdo::StatementCache &statements, const QString &column, rdo::TextCollation collation,
                          std::optional<int64_t> stamp);
    // The same, on a connection of its own to the file at path.
    static NameRanks readFrom(const std::string &path, const QString &column, rdo::TextCollation collation,
                              std::optional<int64_t> stamp);

    // The stamp they were read at, kept or not; none: not read.
    std::optional<int64_t> readAt() const { return m_readAt; }
    const QString &column() const { return m_column; }

    // The articles (identifiers, each once or more) in the list's order of
    // their names and then codes, as groups whose name and code are read
    // from the file when the merge reaches them: names, the statement that
    // gives the name and the code of the article bound to ?1. Null when an
    // article is not known (added since). Held, a statement stepped once,
    // keeps the file's snapshot for as long as the groups are read: each
    // statement begun afresh would take the file's lock and read its header
    // again, ten microseconds an article.
    std::shared_ptr<const rdo::ListedGroups> listed(std::vector<int64_t> articles, rdo::StatementCache::Statement names,
                                                    rdo::StatementCache::Statement held) const;

private:
    static constexpr uint32_t kUnknown = UINT32_MAX;
    // By identifier, the place of the article's name, equal names sharing
    // one: a bit per identifier up to the highest tells the articles there
    // are, and the count of bits before an article's, its slot among the
    // places. Four bytes an article, however far apart identifiers lie.
    class Places {
    public:
        explicit Places(uint32_t highest) : m_bits(highest / 64 + 1), m_before(highest / 64 + 1) {}
        void add(uint32_t id) { m_bits[id / 64] |= uint64_t(1) << (id % 64); }
        void seal(); // every article is added: each may be set
        void set(uint32_t id, uint32_t place) { m_places[slot(id)] = place; }
        std::optional<uint32_t> of(int64_t id) const;

    private:
        size_t slot(uint32_t id) const;
        std::vector<uint64_t> m_bits;
        std::vector<uint32_t> m_before, m_places;
    };

    std::optional<int64_t> m_readAt;
    QString m_column;
    rdo::TextCollation m_collation = rdo::TextCollation::AccentSensitive;
    std::optional<Places> m_places; // none: not kept
};

} // namespace lookup
