#pragma once
// Which stretches of a name's index may hold the articles a lookup's words
// find, kept per connection, so that a lookup's driver seeks over the others.

#include "lookup/plan/articles_with_varieties.h"
#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/statement_cache.h"

#include <QString>

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lookup {


class NameBlocks {
public:
    // One index's blocks, in the index's order.
    class Index {
    public:
        // The runs of two and three characters a text like pattern holds, of
        // its literal parts after the one it begins with (a driver's range
        // holds that one), hashed; empty when it has none.
        static std::vector<uint64_t> runsOf(std::string_view utf8Pattern);

        size_t size() const { return m_starts.size(); }
        // The first name of a block (blocks begin where the name changes).
        const std::string &start(size_t block) const { return m_starts[block]; }
        // The block a name would be in: the last that starts at or before it.
        size_t blockOf(std::string_view name) const;
        // False when no article of the block has a text that holds every run.
        bool mayHold(size_t block, const std::vector<uint64_t> &runs) const;
        // The two digits every text like pattern begins with, as a number
        // from 0 to 99; none when it may begin otherwise.
        static std::optional<int> digitsBeginning(std::string_view utf8Pattern);
        // The same for the texts that begin with a prefix of two characters.
        static std::optional<int> digitsOfPrefix(QStringView prefix);
        // False when no text of the block's articles begins with the digits.
        bool mayBeginWith(size_t block, int digits) const { return m_digits[block][static_cast<size_t>(digits)]; }
        // How many of the articles read (all but the odd ones) have a code,
        // and how many a name or short name, that begins with the digits.
        int codesBeginningWith(int digits) const { return m_codesBeginning[static_cast<size_t>(digits)]; }
        int namesBeginningWith(int digits) const { return m_namesBeginning[static_cast<size_t>(digits)]; }

    private:
        friend class NameBlocks;
        // Of each block, the pairs of digits its texts begin with: a code of
        // two digits begins one code in a hundred, and the runs inside texts
        // tell nothing of it.
        std::vector<std::bitset<100>> m_digits;
        std::array<int, 100> m_codesBeginning{}, m_namesBeginning{};
        std::vector<std::string> m_starts;
        // Block b's bits are m_words from m_firstWord[b] to m_firstWord[b + 1].
        std::vector<uint64_t> m_words;
        std::vector<size_t> m_firstWord;
    };

    // The count of changes to the articles, kept by data/indexes.sql.
    static constexpr char kChangesTable[] = "ArticuloCambios";

    NameBlocks() = default;
    NameBlocks(const NameBlocks &) = delete;
    NameBlocks &operator=(const NameBlocks &) = delete;
    // Stops the readings under way and waits for them.
    ~NameBlocks();

    // The file the blocks are read from, on a connection of their own in the
    // background; without one they are read by the lookup that asks.
    void readFrom(std::string path) { m_path = std::move(path); }
    // Begins reading the blocks of column in the background once after
    // returns (the readings before it have ended), rather than at the first
    // lookup that asks: a till's first lookups by name would each read every
    // block of their range meanwhile.
    void readAfter(const QString &column, const ArticlesWithVarieties &varieties, std::function<void()> after);
    // Drops what is kept when the file's articles or varieties have changed;
    // after varieties.refresh, before a lookup runs.
    void refresh(rdo::StatementCache &statements, const ArticlesWithVarieties &varieties);
    // The blocks of the index that leads with column (ArtNombre or
    // ArtNombreCorto) as the file holds them now; null while they are read
    // (the first ask, or the first after a change, starts reading them; the
    // lookup meanwhile reads every block) or when they cannot be kept.
    const Index *of(const QString &column, rdo::StatementCache &statements, const ArticlesWithVarieties &varieties);
    // Reads the blocks of column on this connection now, unless kept (by a
    // reading under way, which it waits for).
    void readNow(const QString &column, rdo::StatementCache &statements, const ArticlesWithVarieties &varieties);

private:
    // The counts of changes to articles and to varieties.
    using Stamp = std::pair<int64_t, int64_t>;
    struct Read {
        std::optional<Stamp> stamp; // what the blocks were read at; none: nothing read
        std::unique_ptr<Index> index; // null: they cannot be kept
    };
    struct Slot {
        Read kept;
        std::future<Read> reading;
    };
    static std::optional<Stamp> stampOf(rdo::StatementCache &statements, const ArticlesWithVarieties &varieties);
    static std::unique_ptr<Index> read(const QString &column, rdo::StatementCache &statements,
                                       const ArticlesWithVarieties &varieties, const std::atomic<bool> &stopped);
    static Read readInBackground(const std::string &path, const QString &column,
                                 const ArticlesWithVarieties::Shared &varieties, const std::atomic<bool> &stopped);

    std::string m_path;
    std::optional<Stamp> m_stamp; // the counts the file has now; none: nothing can be kept
    std::map<QString, Slot> m_slots;
    std::atomic<bool> m_stopped{false};
};

// A driver's reading of a range of names, passing over the blocks that cannot
// hold a row: where to read from next, and the name of the first block past
// the current run of blocks that may, where the driver stops (its step stops
// at the first article at or past that name, as at the merge's limit).
class ScreenedRange final : public rdo::DriverRange {
public:
    // Over the range from lowest up, passing over the blocks that cannot hold
    // the runs (Index::runsOf) or whose texts do not begin with the digits
    // (Index::digitsBeginning); every block is read when index is null or
    // there is neither.
    ScreenedRange(const NameBlocks::Index *index, std::vector<uint64_t> runs, std::string lowest,
                  std::optional<int> digits = std::nullopt);

    // Whether the driver reads on where it is, or must be set at nextRun().
    bool positioned() const override { return m_positioned; }
    // The name to read from, at the first block left that may hold a row; none
    // when no block left may.
    std::optional<std::string> nextRun() override;
    // The name where the current run stops, if it does.
    const std::string *stop() const override { return m_stop ? &*m_stop : nullptr; }
    // The driver gave an article of this name: at or past the stop, the next
    // reading begins at nextRun().
    void gave(std::string_view name) override;

private:
    bool mayHold(size_t block) const;

    const NameBlocks::Index *m_index;
    std::vector<uint64_t> m_runs;
    std::optional<int> m_digits;
    std::string m_lowest;
    bool m_positioned = false, m_started = false;
    size_t m_next = 0; // the first block nextRun() considers
    std::optional<std::string> m_stop;
};

} // namespace lookup
