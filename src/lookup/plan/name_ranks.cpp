#include "lookup/plan/name_ranks.h"

#include "lookup/plan/background_reading.h"
#include "lookup/plan/file_keys.h"

#include "platform/rdo/sqlite/sqlite_internals.h"

#include <algorithm>
#include <bit>
#include <string_view>

namespace lookup {

using rdo::StatementCache;

namespace {

// The names the walk over the index finds out of the list's order, kept with
// their keys to be put in their places: those of a file in NOCASE's order
// that hold a letter outside ASCII or end in a blank, a few in a hundred.
struct Strays {
    struct Stray {
        uint32_t id = 0, at = 0, size = 0;
    };
    std::vector<Stray> strays;
    std::string keys;

    void add(uint32_t id, std::string_view key)
    {
        strays.push_back({id, static_cast<uint32_t>(keys.size()), static_cast<uint32_t>(key.size())});
        keys.append(key);
    }
    std::string_view key(const Stray &stray) const { return std::string_view(keys).substr(stray.at, stray.size); }
    void sort()
    {
        std::stable_sort(strays.begin(), strays.end(),
                         [&](const Stray &a, const Stray &b) { return key(a) < key(b); });
    }
};

// Past this many strays the walk gives up: a file in SQLite's own order whose
// names are written in lower case too keeps most of them out of the list's
// order, and the keys would take tens of megabytes.
size_t mostStrays(size_t articles)
{
    return std::max<size_t>(4096, articles / 8);
}

// The articles in the order of their places, each read when the merge
// reaches it with the others of its place (a common name leads hundreds of
// articles at a million, of which the list shows a few): their names and
// codes, those sorted by their codes.
class RankedGroups final : public rdo::ListedGroups {
public:
    RankedGroups(std::vector<std::pair<uint32_t, int64_t>> placed, StatementCache::Statement names,
                 StatementCache::Statement held, rdo::TextCollation collation)
        : m_placed(std::move(placed)), m_names(std::move(names)), m_held(std::move(held)), m_collation(collation)
    {
    }
    size_t size() const override { return m_placed.size(); }
    rdo::ListedGroup at(size_t group) const override
    {
        if (group < m_runFrom || group >= m_runFrom + m_run.size()) {
            readRun(group);
            // Every name read: the file's snapshot goes, and with it the
            // lock that keeps the shop's programs from writing.
            if (m_runFrom + m_run.size() == m_placed.size())
                m_held.reset();
        }
        return m_run[group - m_runFrom];
    }

private:
    static std::optional<std::string> text(sqlite3_stmt *stmt, int column)
    {
        if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
            return std::nullopt;
        return std::string(rdo::utf8Bytes(sqlite3_column_value(stmt, column)));
    }
    // The groups of group's place, from group on (the merge reads them in turn).
    void readRun(size_t group) const
    {
        m_runFrom = group;
        m_run.clear();
        sqlite3_stmt *names = m_names.get();
        for (size_t g = group; g < m_placed.size() && m_placed[g].first == m_placed[group].first; ++g) {
            sqlite3_reset(names);
            sqlite3_bind_int64(names, 1, m_placed[g].second);
            const int step = sqlite3_step(names);
            if (step != SQLITE_ROW && step != SQLITE_DONE)
                throw rdo::engineError(sqlite3_db_handle(names));
            // An article deleted since: no rows, and a bound no lower than
            // the name before.
            if (step == SQLITE_DONE)
                m_run.push_back({m_placed[g].second, m_run.empty() ? std::nullopt : m_run.back().firstKey,
                                 std::nullopt, false});
            else
                m_run.push_back({m_placed[g].second, text(names, 0), text(names, 1), true});
        }
        if (m_run.size() > 1)
            std::stable_sort(m_run.begin(), m_run.end(), [&](const rdo::ListedGroup &a, const rdo::ListedGroup &b) {
                if (!a.secondKey || !b.secondKey)
                    return !a.secondKey && b.secondKey;
                return rdo::sqlServerCompareUtf8(*a.secondKey, *b.secondKey, m_collation) < 0;
            });
    }

    std::vector<std::pair<uint32_t, int64_t>> m_placed;
    StatementCache::Statement m_names;
    mutable StatementCache::Statement m_held;
    rdo::TextCollation m_collation;
    mutable size_t m_runFrom = 0;
    mutable std::vector<rdo::ListedGroup> m_run;
};

} // namespace

NameRanks NameRanks::read(StatementCache &statements, const QString &column, rdo::TextCollation collation,
                          std::optional<int64_t> stamp)
{
    NameRanks ranks;
    const StatementCache::Statement extent = statements.take(u"Select Min(ArtID), Max(ArtID), Count(*) From Articulo"_qs);
    if (!stamp || !extent || sqlite3_step(extent.get()) != SQLITE_ROW)
        return ranks;
    // Read at stamp from here on, kept or not: a file whose places cannot be
    // kept is not read again before it changes.
    ranks.m_readAt = stamp;
    const int64_t lowest = sqlite3_column_int64(extent.get(), 0), highest = sqlite3_column_int64(extent.get(), 1),
                  articles = sqlite3_column_int64(extent.get(), 2);
    const auto index = leadingIndex(sqlite3_db_handle(extent.get()), "Articulo", column.toUtf8().constData());
    // Identifiers far apart would take more memory in bits than the places.
    if (!index || lowest < 0 || highest >= kUnknown || highest / 8 > 4 * articles + (1 << 20))
        return ranks;
    // The index's own order, which SQLite reads without sorting: in NOCASE's
    // it is the list's for every name of printable ASCII.
    const QString walk = QStringLiteral("Select ArtID, %1 From Articulo INDEXED BY %2 Order By %1 COLLATE %3")
                             .arg(column, index->name, QLatin1String(collationOf(index->order)));
    const StatementCache::Statement names = statements.take(walk);
    if (!names)
        return ranks;
    Places places(static_cast<uint32_t>(highest));
    // First the names that come in the list's order as the index is walked
    // (each at or after the last such), the others put apart with their keys.
    Strays strays;
    std::string last, key;
    int step;
    while ((step = sqlite3_step(names.get())) == SQLITE_ROW) {
        const auto id = static_cast<uint32_t>(sqlite3_column_int64(names.get(), 0));
        places.add(id);
        key = rdo::sqlServerKeyUtf8(rdo::utf8Bytes(sqlite3_column_value(names.get(), 1)), collation);
        if (key < last) {
            if (strays.strays.size() == mostStrays(static_cast<size_t>(articles)))
                return ranks;
            strays.add(id, key);
        } else {
            std::swap(last, key);
        }
    }
    if (step != SQLITE_DONE)
        return ranks;
    std::vector<uint32_t> strayIds;
    for (const Strays::Stray &stray : strays.strays)
        strayIds.push_back(stray.id);
    std::sort(strayIds.begin(), strayIds.end());
    places.seal();
    // Then the walk again, the strays merged in by their keys: equal names
    // share a place.
    strays.sort();
    auto stray = strays.strays.begin();
    uint32_t place = 0;
    std::optional<std::string> placed;
    const auto give = [&](uint32_t id, std::string_view of) {
        if (!placed || of != *placed) {
            ++place;
            placed = std::string(of);
        }
        places.set(id, place);
    };
    sqlite3_reset(names.get());
    while ((step = sqlite3_step(names.get())) == SQLITE_ROW) {
        const auto id = static_cast<uint32_t>(sqlite3_column_int64(names.get(), 0));
        if (std::binary_search(strayIds.begin(), strayIds.end(), id))
            continue;
        key = rdo::sqlServerKeyUtf8(rdo::utf8Bytes(sqlite3_column_value(names.get(), 1)), collation);
        for (; stray != strays.strays.end() && strays.key(*stray) < key; ++stray)
            give(stray->id, strays.key(*stray));
        give(id, key);
    }
    if (step != SQLITE_DONE)
        return ranks;
    for (; stray != strays.strays.end(); ++stray)
        give(stray->id, strays.key(*stray));
    ranks.m_column = column;
    ranks.m_collation = collation;
    ranks.m_places = std::move(places);
    return ranks;
}

NameRanks NameRanks::readFrom(const std::string &path, const QString &column, rdo::TextCollation collation,
                              std::optional<int64_t> stamp)
{
    return readOnItsOwnConnection<NameRanks>(
        path, [&](sqlite3 *, StatementCache &statements) { return read(statements, column, collation, stamp); });
}

void NameRanks::Places::seal()
{
    uint32_t count = 0;
    for (size_t w = 0; w < m_bits.size(); ++w) {
        m_before[w] = count;
        count += static_cast<uint32_t>(std::popcount(m_bits[w]));
    }
    m_places.assign(count, kUnknown);
}

size_t NameRanks::Places::slot(uint32_t id) const
{
    const uint64_t below = m_bits[id / 64] & ((uint64_t(1) << (id % 64)) - 1);
    return m_before[id / 64] + static_cast<size_t>(std::popcount(below));
}

std::optional<uint32_t> NameRanks::Places::of(int64_t id) const
{
    if (id < 0 || static_cast<uint64_t>(id) / 64 >= m_bits.size() ||
        !(m_bits[static_cast<size_t>(id) / 64] >> (id % 64) & 1))
        return std::nullopt;
    const uint32_t place = m_places[slot(static_cast<uint32_t>(id))];
    return place == kUnknown ? std::nullopt : std::optional(place);
}

std::shared_ptr<const rdo::ListedGroups> NameRanks::listed(std::vector<int64_t> articles,
                                                           StatementCache::Statement names,
                                                           StatementCache::Statement held) const
{
    std::vector<std::pair<uint32_t, int64_t>> placed;
    placed.reserve(articles.size());
    for (const int64_t id : articles) {
        const auto place = m_places ? m_places->of(id) : std::nullopt;
        if (!place)
            return nullptr;
        placed.emplace_back(*place, id);
    }
    std::sort(placed.begin(), placed.end());
    placed.erase(std::unique(placed.begin(), placed.end()), placed.end());
    return std::make_shared<RankedGroups>(std::move(placed), std::move(names), std::move(held), m_collation);
}

} // namespace lookup
