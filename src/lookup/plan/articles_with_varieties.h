#pragma once
// Which articles have varieties, and their names, kept per connection so that
// a lookup need not read ArticuloVariedad for every article of a name.

#include "platform/rdo/sqlite/statement_cache.h"
#include "platform/rdo/tsql/sqlserver_text.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace lookup {


class ArticlesWithVarieties {
public:
    // The SQL function the lookups ask: ConVariedades(ArtID) is 0 only for an
    // article known to have no variety.
    static constexpr char kFunction[] = "ConVariedades";
    // VariedadPuedeCoincidir(ArtID, pattern, name [, name]) is 0 only when
    // no variety of the article, its name run together after one of the
    // names given (name || AVaNombre), is like pattern.
    static constexpr char kMatchFunction[] = "VariedadPuedeCoincidir";
    // The trigger that counts renamed varieties: without it names are not relied on.
    static constexpr char kRenameTrigger[] = "TR_ArticuloVariedad_Nombre";

    // What tells that the varieties may have changed: the count of changes
    // data/indexes.sql keeps on ArticuloVariedad (with whether renamings move
    // it), or on a file without it the connection's data_version, which
    // every other program's commit moves; none when neither can be read.
    struct Stamp {
        int64_t changes = 0;
        bool counted = false;   // changes is the file's count, not the connection's version
        bool namesKept = false; // renamings move it: the names are kept and relied on
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    static std::optional<Stamp> stampNow(rdo::StatementCache &statements);

    // Installs the functions on db, answering from what is kept; names match
    // patterns under the connection's collation.
    int install(sqlite3 *db, rdo::TextCollation collation = rdo::TextCollation::AccentSensitive);
    // Brings what is kept up to date with the file, before a lookup runs.
    // Later, a file that does not count its changes is not read now
    // (any commit of the shop's application may have moved its version):
    // nothing is known meanwhile, and the stamp to read it at on a
    // connection of its own is given back. While a reading is under way,
    // nothing is known either, and the lookup takes up what it read as soon
    // as it ends, when the file stood at the reading's stamp as the lookup
    // began (see takeUpEndedReading).
    enum class When { Now, Later };
    std::optional<Stamp> refresh(rdo::StatementCache &statements, When when = When::Now);
    // The file's stamp as the last refresh read it: what else the lookup
    // keeps is told up to date by it, rather than ask the file again (under
    // a writer's lock each asking waits).
    std::optional<Stamp> refreshedAt() const { return m_refreshedAt; }
    // Reads what is kept on a connection of its own to the file at path, as
    // the file stands at stamp or later, in the background: from the moment
    // the till connects, so that its first lookup does not wait for every
    // variety of a large catalogue. What is given back ends with the
    // reading: other readings may wait for it to leave it the processor.
    std::shared_future<void> readInBackground(const std::string &path, std::optional<Stamp> stamp);
    // What another connection's reading may start from, once the reading
    // under way (if any) has ended: call get() on its own thread.
    class Shared;
    Shared shared() const;
    // What shared holds, for a connection whose file stands where it was
    // read; brought up to date by refresh. Only a count of changes tells
    // one connection's file from another's: kept under a connection's
    // version, nothing is taken.
    explicit ArticlesWithVarieties(const Shared &shared);
    // Waits for the reading under way and keeps what it read.
    void awaitReading();
    // Keeps what the reading under way read, if it has ended and the lookup
    // under way may take it up: asked before each article a lookup tries, so
    // that a first lookup typed at once passes over the articles without
    // varieties from the moment they are known, rather than probe each one.
    void takeUpEndedReading();
    bool mayHaveVarieties(int64_t article) const;
    bool mayMatch(int64_t article, const rdo::SqlServerLikePattern &pattern,
                  std::span<const std::optional<std::string_view>> names) const;
    // The count of changes what is kept was read at, when the varieties'
    // names are kept and relied on; none otherwise.
    std::optional<int64_t> namesReadAt() const
    {
        return namesKept() && m_kept->stamp.counted ? std::optional(m_kept->stamp.changes) : std::nullopt;
    }
    // Calls name(text) for each variety of article whose name is not Null
    // (a Null name makes a joined text Null), when names are kept.
    template <typename Name>
    void forEachVarietyName(int64_t article, Name &&name) const
    {
        if (!namesKept())
            return;
        const Kept &kept = *m_kept;
        const auto found = std::lower_bound(kept.articles.begin(), kept.articles.end(), article);
        if (found == kept.articles.end() || *found != article)
            return;
        const size_t at = static_cast<size_t>(found - kept.articles.begin());
        for (uint32_t v = kept.firstVariety[at]; v < kept.firstVariety[at + 1]; ++v)
            if (kept.varietyNames[v] >= 0)
                name(std::string_view(kept.names[static_cast<size_t>(kept.varietyNames[v])]));
    }

    ArticlesWithVarieties() = default;
    ArticlesWithVarieties(const ArticlesWithVarieties &) = delete;
    ArticlesWithVarieties &operator=(const ArticlesWithVarieties &) = delete;

private:
    // What is kept, as read at stamp; never changed once read, so that a
    // reading on another thread may share it.
    struct Kept {
        Stamp stamp;
        // The articles with varieties, ascending, and whether an identifier
        // is one of them (when identifiers are few enough to be marked one by
        // one): a lookup asks this of every article of a name, so that it
        // must cost little more than reading the index.
        std::vector<int64_t> articles;
        std::vector<bool> marked;
        // With names kept: the varieties of articles[i] are varietyNames from
        // firstVariety[i] up to firstVariety[i + 1], each the index of its
        // name in names, or -1 for a Null name.
        std::vector<uint32_t> firstVariety;
        std::vector<int32_t> varietyNames;
        std::vector<std::string> names;
    };
    using Reading = std::shared_future<std::shared_ptr<const Kept>>;

    std::optional<Stamp> stamp() const { return m_kept ? std::optional(m_kept->stamp) : std::nullopt; }
    bool namesKept() const { return m_kept && m_kept->stamp.namesKept; }
    bool readingEnded() const;
    // Keeps what was read; nothing is known of a file that could not be read.
    void keep(std::shared_ptr<const Kept> read);
    // What stamp says to keep; null when the reading fails.
    static std::shared_ptr<const Kept> read(rdo::StatementCache &statements, const Stamp &stamp);

    std::shared_ptr<const Kept> m_kept; // null: nothing known

    // The reading in the background (its future, from std::async, waits for
    // it when destroyed), the stamp it was started at, and whether the
    // lookup under way may take it up.
    Reading m_reading;
    std::optional<Stamp> m_readingAt;
    bool m_mayTakeUp = false;
    std::optional<Stamp> m_refreshedAt;
};

class ArticlesWithVarieties::Shared {
public:
    std::shared_ptr<const Kept> get() const { return m_reading.valid() ? m_reading.get() : m_kept; }

private:
    friend class ArticlesWithVarieties;
    Reading m_reading;
    std::shared_ptr<const Kept> m_kept;
};

} // namespace lookup
