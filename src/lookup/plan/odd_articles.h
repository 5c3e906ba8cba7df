#pragma once
// The odd articles (kOddArticles) kept per connection, so that a lookup lists
// the few a word finds among them in the list's order from memory: the
// file's indexes would have it read and sort every odd article of the word's
// range (a shop's thousands of "NIÑO" garments), or every odd article of the
// file when accents are ignored.

#include "lookup/plan/lookup_plan.h"

#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/statement_cache.h"
#include "platform/rdo/tsql/sqlserver_text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lookup {

class ArticlesWithVarieties;

// Kept behind a shared pointer: a list open over some of them holds them for
// as long as it is open.
class OddArticles : public std::enable_shared_from_this<OddArticles> {
public:
    // What tells, on a till's connection, that the articles may have
    // changed: the count of changes to them that data/indexes.sql keeps, or
    // on a file without it the connection's data_version, which moves at
    // every other connection's commit; none when neither can be read.
    static std::optional<int64_t> stampNow(rdo::StatementCache &statements);
    // Reads them on statements' connection, as the file stood at stamp or
    // later (a change in between makes the stamps differ at the next lookup,
    // which reads them again); nothing is kept without a stamp or when the
    // reading fails.
    static OddArticles read(rdo::StatementCache &statements, rdo::TextCollation collation,
                            std::optional<int64_t> stamp);
    // The same, on a connection of its own to the file at path.
    static OddArticles readFrom(const std::string &path, rdo::TextCollation collation, std::optional<int64_t> stamp);

    // The stamp they were read at; none: nothing kept.
    std::optional<int64_t> readAt() const { return m_readAt; }

    // Those of which one of terms may hold (the statement decides), in the
    // order of leadingColumn and then the code, as a driver's groups: each
    // article's identifier, leading name and code. Asked only of odd articles
    // held by a shared pointer, which the groups then share.
    std::shared_ptr<const rdo::ListedGroups> listed(const QString &leadingColumn, const std::vector<GroupTerm> &terms,
                                                    const ArticlesWithVarieties &varieties) const;

private:
    enum Column { Name, ShortName, Code, kColumns };
    struct Article {
        int64_t id = 0;
        // Its texts in m_bytes from `from` on: each column's own, then its
        // key (rdo::sqlServerKeyUtf8), in turn; a Null one is empty and
        // marked in nulls.
        uint32_t from = 0;
        std::array<uint32_t, 2 * kColumns> sizes{};
        uint8_t nulls = 0;
        // How much of each text's key no variety's name run together after
        // it can change: a leading combining mark composes with the last
        // letters.
        std::array<uint32_t, kColumns> lasting{};
        std::array<uint64_t, kColumns> heads{}; // each key's first bytes (headOf)
    };
    struct Probe;
    class Listed;

    static std::optional<Column> columnNamed(const QString &column);
    void add(int64_t id, const std::array<std::optional<std::string_view>, kColumns> &texts);
    void sort();
    // Those articles of which probe may hold, as far as their keys say, in
    // no order; none when every article must be tried (the pattern begins
    // with a wildcard).
    std::optional<std::vector<uint32_t>> candidates(const Probe &probe) const;
    std::optional<std::string_view> text(const Article &article, Column column) const;
    std::string_view key(const Article &article, Column column) const;
    // What of a text's key no variety's name run together after it changes.
    std::string_view lastingKey(const Article &article, Column column) const;
    bool mayHold(const Article &article, const Probe &probe, const ArticlesWithVarieties &varieties) const;

    rdo::TextCollation m_collation = rdo::TextCollation::AccentSensitive;
    std::optional<int64_t> m_readAt;
    std::vector<Article> m_articles;
    std::string m_bytes;
    // Positions in m_articles by name and code, and by short name and code,
    // and each position's place in those two orders.
    std::array<std::vector<uint32_t>, 2> m_orders;
    std::array<std::vector<uint32_t>, 2> m_places;
    // By column, the positions of the articles with that text: by its key,
    // and by what lasts of its key (lasting), so that a term's articles are
    // found by their keys' beginning rather than by trying them all.
    std::array<std::vector<uint32_t>, kColumns> m_byKey;
    std::array<std::vector<uint32_t>, kColumns> m_byLasting;
};

} // namespace lookup
