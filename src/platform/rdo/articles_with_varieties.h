#pragma once
// Which articles have varieties, known without reading ArticuloVariedad. A
// lookup's variety stream walks the name's index and would otherwise probe
// ArticuloVariedad at every article, though most have none; on a million
// articles that probe was most of a two-word lookup.
//
// The set is exact: it is read again whenever the count of changes that the
// lookup indexes' triggers keep on ArticuloVariedad (data/indexes.sql) has
// moved since. On a file without that count nothing is known, and every
// article may have varieties.

#include "statement_cache.h"

#include <cstdint>
#include <optional>
#include <vector>

struct sqlite3;

namespace rdo {

class ArticlesWithVarieties {
public:
    // The SQL function the lookups ask: ConVariedades(ArtID) is 0 only for an
    // article known to have no variety.
    static constexpr char kFunction[] = "ConVariedades";

    // Installs the function on db, answering from this set.
    int install(sqlite3 *db);
    // Brings the set up to date with the file, before a lookup runs.
    void refresh(StatementCache &statements);
    bool mayHaveVarieties(int64_t article) const;

private:
    std::optional<int64_t> m_changes; // the count the set was read at; none: nothing known
    std::vector<int64_t> m_articles;  // ascending
};

} // namespace rdo
