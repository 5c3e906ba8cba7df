#include "lookup/plan/name_blocks.h"

// Which stretches of a name's index may hold the articles a lookup's words
// find. A lookup by name reads, in the list's order, the articles whose name
// begins with the first word typed, and tries the rest of the text on each.
// The later words match anywhere inside a text ("SIN" in "PINTURA SINTETICA"
// and in "PINTURA BASIN"), so no index narrows them, and on a million
// articles a common first word holds tens of thousands of articles, read one
// by one to find a screenful.
//
// So the index is cut into blocks of consecutive names, and of each block it
// is kept which runs of two and three characters its articles' texts hold
// (the name, the short name, the code, and either name run together with a
// variety's name) in a bit set: a run of the typed pattern whose bits are not
// all set in a block is in none of its texts. A lookup's driver reads the
// blocks that may hold every run of the pattern and seeks over the others
// (ScreenedRange).
//
// What is kept is exact in the way ArticlesWithVarieties is: dropped whenever
// the count of changes that data/indexes.sql's triggers keep on Articulo, or
// what is kept of the varieties, has moved, and read again when a lookup
// next needs it. Reading them takes long on a large catalogue, so it
// is done in the background on a connection of its own, and the lookups read
// every block meanwhile, as they do without that count or without the
// varieties' names.

#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/background_reading.h"
#include "lookup/plan/lookup_plan.h"

#include "platform/rdo/sqlite/sqlite_internals.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace lookup {

using rdo::StatementCache;
using rdo::SqlServerLikePattern;
using rdo::sqlServerComparableUtf8;
using rdo::sqlServerCompareUtf8;
using rdo::isAsciiUtf8;
using rdo::asciiComparable;
using rdo::installServerText;

namespace {

// Each run of two or three characters a block holds sets three bits of its
// set, which has at least 8 bits for each distinct run (a power of two, 512
// at least): a run the block does not hold then finds its three bits set in
// one block in thirty at worst, and every run of a typed word far more
// seldom. Blocks of names repeated many times (one name, many codes) hold
// thousands of distinct runs; most hold a few hundred. At a million articles
// one name index's sets take about 9 MB (twice that at 16 bits a run, with
// no lookup measurably faster).
constexpr size_t kBitsPerRun = 8;
constexpr size_t kLeastBits = 512;

// Articles a block holds at least (more where a name runs on past that):
// finer blocks for smaller files, where the memory is no matter, so that a
// lookup there passes over as much.
size_t articlesPerBlock(int64_t articles)
{
    return static_cast<size_t>(std::clamp<int64_t>(articles / 256, 4, 64));
}

uint64_t mixed(char32_t a, char32_t b, char32_t c)
{
    uint64_t h = (uint64_t{a} << 42) ^ (uint64_t{b} << 21) ^ uint64_t{c};
    // A finalizer of MurmurHash3: every input bit moves every output bit.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Runs of two characters are hashed apart from runs of three.
constexpr char32_t kPair = 0x110000;

// Calls run(hash) for each run of two and of three characters of a text of n
// characters, character i given by at(i) in the form LIKE compares it in.
template <typename At, typename Run>
void forEachRun(size_t n, At &&at, Run &&run)
{
    for (size_t i = 0; i + 2 <= n; ++i) {
        run(mixed(at(i), at(i + 1), kPair));
        if (i + 3 <= n)
            run(mixed(at(i), at(i + 1), at(i + 2)));
    }
}

template <typename Run>
void forEachRun(std::u32string_view text, Run &&run)
{
    forEachRun(text.size(), [&](size_t i) { return text[i]; }, run);
}

// The same for a text in UTF-8 as the file holds it. Most are ASCII, compared
// with A to Z lowered: read on their bytes, without conversion.
template <typename Run>
void forEachRunOfUtf8(std::string_view text, Run &&run)
{
    if (!isAsciiUtf8(text))
        return forEachRun(sqlServerComparableUtf8(text), run);
    forEachRun(text.size(), [&](size_t i) { return asciiComparable(text[i]); }, run);
}

// The pair of digits two characters are, as a number from 0 to 99.
std::optional<size_t> digitPair(char32_t a, char32_t b)
{
    const auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    if (!digit(a) || !digit(b))
        return std::nullopt;
    return static_cast<size_t>((a - U'0') * 10 + (b - U'0'));
}

// The same pair as the index is asked by it.
std::optional<int> digitsNumber(char32_t a, char32_t b)
{
    const auto pair = digitPair(a, b);
    return pair ? std::optional(static_cast<int>(*pair)) : std::nullopt;
}

// The distinct runs of the block being read. Neighbours in the index share
// most words, and a name may repeat for hundreds of codes: each run is kept once
// as it comes (open addressing, 0 standing for an empty slot).
class BlockRuns {
public:
    BlockRuns() : m_slots(kLeastSlots, 0) {}
    void add(uint64_t run)
    {
        run = run ? run : 1;
        size_t at = run & (m_slots.size() - 1);
        while (m_slots[at] != 0) {
            if (m_slots[at] == run)
                return;
            at = (at + 1) & (m_slots.size() - 1);
        }
        m_slots[at] = run;
        if (++m_count * 2 > m_slots.size())
            grow();
    }
    size_t size() const { return m_count; }
    template <typename Run>
    void forEach(Run &&run) const
    {
        for (const uint64_t slot : m_slots)
            if (slot != 0)
                run(slot);
    }
    void clear()
    {
        m_slots.assign(std::min(m_slots.size(), kMostSlotsKept), 0);
        m_count = 0;
    }

private:
    static constexpr size_t kLeastSlots = 1024, kMostSlotsKept = 16384;
    void grow()
    {
        std::vector<uint64_t> old(m_slots.size() * 2, 0);
        old.swap(m_slots);
        m_count = 0;
        for (const uint64_t slot : old)
            if (slot != 0)
                add(slot);
    }
    std::vector<uint64_t> m_slots;
    size_t m_count = 0;
};

// The three bits of a run in a set of `bits` bits (a power of two).
template <typename Bit>
void forEachBit(uint64_t run, size_t bits, Bit &&bit)
{
    const uint64_t mask = bits - 1;
    bit(run & mask);
    bit((run >> 21) & mask);
    bit((run >> 42) & mask);
}

// Valid until the statement steps again.
std::string_view columnText(sqlite3_stmt *stmt, int column)
{
    return {reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
            static_cast<size_t>(sqlite3_column_bytes(stmt, column))};
}

} // namespace

std::vector<uint64_t> NameBlocks::Index::runsOf(std::string_view utf8Pattern)
{
    const SqlServerLikePattern pattern(utf8Pattern);
    std::vector<std::u32string> literals = pattern.literalRuns();
    // A driver reads the range of names that begin with the first: only
    // what comes after it can tell its articles apart.
    if (pattern.beginsWithLiteral() && !literals.empty())
        literals.erase(literals.begin());
    std::vector<uint64_t> runs;
    for (const std::u32string &literal : literals)
        forEachRun(literal, [&](uint64_t run) { runs.push_back(run); });
    std::sort(runs.begin(), runs.end());
    runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
    return runs;
}

std::optional<int> NameBlocks::Index::digitsBeginning(std::string_view utf8Pattern)
{
    const SqlServerLikePattern pattern(utf8Pattern);
    const std::vector<std::u32string> literals = pattern.literalRuns();
    if (!pattern.beginsWithLiteral() || literals.empty() || literals.front().size() < 2)
        return std::nullopt;
    return digitsNumber(literals.front()[0], literals.front()[1]);
}

std::optional<int> NameBlocks::Index::digitsOfPrefix(QStringView prefix)
{
    return prefix.size() == 2 ? digitsNumber(prefix[0].unicode(), prefix[1].unicode()) : std::nullopt;
}

size_t NameBlocks::Index::blockOf(std::string_view name) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), name,
                                        [](std::string_view n, const std::string &s) { return sqlServerCompareUtf8(n, s) < 0; });
    return after == m_starts.begin() ? 0 : static_cast<size_t>(after - m_starts.begin()) - 1;
}

bool NameBlocks::Index::mayHold(size_t block, const std::vector<uint64_t> &runs) const
{
    const uint64_t *words = m_words.data() + m_firstWord[block];
    const size_t bits = (m_firstWord[block + 1] - m_firstWord[block]) * 64;
    return std::all_of(runs.begin(), runs.end(), [&](uint64_t run) {
        bool all = true;
        forEachBit(run, bits, [&](uint64_t bit) { all = all && ((words[bit / 64] >> (bit % 64)) & 1); });
        return all;
    });
}

NameBlocks::~NameBlocks()
{
    m_stopped = true;
    for (auto &[column, slot] : m_slots)
        if (slot.reading.valid())
            slot.reading.wait();
}

std::optional<NameBlocks::Stamp> NameBlocks::stampOf(StatementCache &statements,
                                                     const ArticlesWithVarieties &varieties)
{
    // Without the varieties' names nothing is kept, and the articles' count
    // is not read: a file held by a writer would keep the lookup waiting once
    // more for it.
    const auto varietiesReadAt = varieties.namesReadAt();
    if (!varietiesReadAt)
        return std::nullopt;
    const auto articles = statements.firstInteger(QStringLiteral("Select ACaCambios From ") + QLatin1String(kChangesTable));
    return articles ? std::optional(Stamp(*articles, *varietiesReadAt)) : std::nullopt;
}

void NameBlocks::refresh(StatementCache &statements, const ArticlesWithVarieties &varieties)
{
    m_stamp = stampOf(statements, varieties);
}

const NameBlocks::Index *NameBlocks::of(const QString &column, StatementCache &statements,
                                        const ArticlesWithVarieties &varieties)
{
    if (!m_stamp)
        return nullptr;
    Slot &slot = m_slots[column];
    if (m_path.empty())
        readNow(column, statements, varieties);
    if (slot.reading.valid() && slot.reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        // A reading that failed (the file held by a writer) is tried again
        // at the next lookup.
        if (Read read = slot.reading.get(); read.stamp == m_stamp && read.index)
            slot.kept = std::move(read);
    if (slot.kept.stamp != m_stamp && !slot.reading.valid() && !m_path.empty())
        slot.reading = std::async(std::launch::async, readInBackground, m_path, column, varieties.shared(),
                                  std::cref(m_stopped));
    return slot.kept.stamp == m_stamp ? slot.kept.index.get() : nullptr;
}

void NameBlocks::readAfter(const QString &column, const ArticlesWithVarieties &varieties, std::function<void()> after)
{
    Slot &slot = m_slots[column];
    if (m_path.empty() || slot.reading.valid())
        return;
    slot.reading = std::async(std::launch::async, [path = m_path, column, shared = varieties.shared(),
                                                   after = std::move(after), &stopped = m_stopped] {
        after();
        return readInBackground(path, column, shared, stopped);
    });
}

void NameBlocks::readNow(const QString &column, StatementCache &statements, const ArticlesWithVarieties &varieties)
{
    Slot &slot = m_slots[column];
    if (slot.reading.valid())
        if (Read read = slot.reading.get(); read.stamp == m_stamp && read.index)
            slot.kept = std::move(read);
    if (!m_stamp || slot.kept.stamp == m_stamp)
        return;
    // The counts were read before the blocks: a change made in between makes
    // them differ at the next lookup, which reads the blocks again.
    slot.kept = {m_stamp, read(column, statements, varieties, m_stopped)};
}

NameBlocks::Read NameBlocks::readInBackground(const std::string &path, const QString &column,
                                              const ArticlesWithVarieties::Shared &kept,
                                              const std::atomic<bool> &stopped)
{
    // The varieties the till's connection keeps, once its reading has ended:
    // unless the file has changed since, they need no reading of their own.
    ArticlesWithVarieties varieties(kept);
    // The counts and the blocks from one reading of the file.
    return readOnItsOwnConnection<Read>(path, [&](sqlite3 *db, StatementCache &statements) {
        Read read;
        // The stretches are read off the name's index alone, in its order.
        passOverPagesOnce(db);
        if (installServerText(db) != SQLITE_OK)
            return read;
        varieties.refresh(statements);
        read.stamp = stampOf(statements, varieties);
        if (read.stamp)
            read.index = NameBlocks::read(column, statements, varieties, stopped);
        return read;
    });
}

std::unique_ptr<NameBlocks::Index> NameBlocks::read(const QString &column, StatementCache &statements,
                                                    const ArticlesWithVarieties &varieties,
                                                    const std::atomic<bool> &stopped)
{
    const QString index = column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0
                              ? QStringLiteral("IX_Articulo_NombreClave")
                              : QStringLiteral("IX_Articulo_NombreCortoClave");
    const auto articles = statements.firstInteger(QStringLiteral("Select Count(*) From Articulo"));
    // The articles the drivers read, in their order: NOCASE's, which is SQL
    // Server's for them. The odd ones, read apart (see kOddArticles), are
    // passed over here: the engine's test cost ten times the walk.
    const StatementCache::Statement rows = statements.take(
        QStringLiteral("Select ") + column + QStringLiteral(", ArtNombre, ArtNombreCorto, ArtCodigo, ArtID From Articulo "
                                                            "INDEXED BY ") +
        index + QStringLiteral(" Where ") + column + QStringLiteral(" COLLATE NOCASE >= '' Order By ") + column +
        QStringLiteral(" COLLATE NOCASE"));
    if (!articles || !rows)
        return nullptr;
    const size_t perBlock = articlesPerBlock(*articles);
    auto blocks = std::make_unique<Index>();
    blocks->m_firstWord.push_back(0);
    size_t inBlock = 0;
    std::string previous, joined;
    // The texts of the article read before, whose runs this block holds
    // already when they repeat (one name for many codes).
    std::array<std::string, 3> before;
    BlockRuns runs;
    std::bitset<100> digits;
    // Ends the last block, setting the bits of its runs.
    const auto close = [&] {
        blocks->m_digits.push_back(std::exchange(digits, {}));
        const size_t bits = std::bit_ceil(std::max(kLeastBits, runs.size() * kBitsPerRun));
        std::vector<uint64_t> &words = blocks->m_words;
        const size_t first = words.size();
        words.resize(first + bits / 64);
        runs.forEach([&](uint64_t run) {
            forEachBit(run, bits, [&](uint64_t bit) { words[first + bit / 64] |= uint64_t{1} << (bit % 64); });
        });
        blocks->m_firstWord.push_back(words.size());
        runs.clear();
        before = {};
    };
    const auto add = [&](std::string_view text) { forEachRunOfUtf8(text, [&](uint64_t run) { runs.add(run); }); };
    // The digits a joined text begins with, in the form LIKE compares it in;
    // most begin with two ASCII characters, read as they are. A mark after
    // them may make the second another letter: the block then says too much,
    // which costs a reading, never a row.
    const auto addBeginning = [&](std::string_view text) {
        std::optional<size_t> pair;
        if (text.size() >= 2 && isAsciiUtf8(text.substr(0, 2)))
            pair = digitPair(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]));
        else if (const std::u32string first = sqlServerComparableUtf8(text); first.size() >= 2)
            pair = digitPair(first[0], first[1]);
        if (pair)
            digits.set(*pair);
    };
    // A name run together with a variety's: when both are ASCII, the runs of
    // each and those across the join; else the joined text, where composing
    // may change the letters at the join.
    const auto addJoined = [&](std::string_view name, std::string_view variety) {
        if (isAsciiUtf8(name) && isAsciiUtf8(variety)) {
            add(variety);
            joined.assign(name.substr(name.size() - std::min<size_t>(name.size(), 2)))
                .append(variety.substr(0, std::min<size_t>(variety.size(), 2)));
        } else {
            joined.assign(name).append(variety);
        }
        add(joined);
        // The joined text begins as the name does, unless the name is
        // shorter than two characters or a variety's mark composes with it.
        if (name.size() < 2 || !isAsciiUtf8(name) || !isAsciiUtf8(variety))
            addBeginning(joined.assign(name).append(variety));
    };
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
        if (stopped)
            return nullptr;
        // The texts a lookup's terms try: each name and the code, and each
        // name run together with each variety's.
        std::array<std::optional<std::string_view>, 3> texts;
        for (size_t t = 0; t < texts.size(); ++t)
            if (sqlite3_column_type(rows.get(), static_cast<int>(t) + 1) != SQLITE_NULL)
                texts[t] = columnText(rows.get(), static_cast<int>(t) + 1);
        if (std::any_of(texts.begin(), texts.end(), isOddText))
            continue;
        const std::string_view leading = columnText(rows.get(), 0);
        // A block begins where the name changes, so that a driver set at its
        // first name reads it whole.
        if (blocks->m_starts.empty() || (inBlock >= perBlock && sqlServerCompareUtf8(leading, previous) != 0)) {
            if (!blocks->m_starts.empty())
                close();
            blocks->m_starts.emplace_back(leading);
            inBlock = 0;
        }
        previous.assign(leading);
        ++inBlock;
        // The digits each text begins with: the articles read are printable
        // ASCII (see kOddArticles), their bytes compared as they are.
        std::array<std::optional<size_t>, 3> begin;
        for (size_t t = 0; t < texts.size(); ++t) {
            if (texts[t] && texts[t]->size() >= 2)
                begin[t] = digitPair(static_cast<unsigned char>((*texts[t])[0]),
                                     static_cast<unsigned char>((*texts[t])[1]));
            if (begin[t])
                digits.set(*begin[t]);
        }
        const auto &[name, shortName, code] = begin;
        if (code)
            ++blocks->m_codesBeginning[*code];
        if (name)
            ++blocks->m_namesBeginning[*name];
        if (shortName && shortName != name)
            ++blocks->m_namesBeginning[*shortName];
        for (size_t t = 0; t < texts.size(); ++t)
            if (texts[t] && *texts[t] != before[t]) {
                add(*texts[t]);
                before[t].assign(*texts[t]);
            }
        varieties.forEachVarietyName(sqlite3_column_int64(rows.get(), 4), [&](std::string_view variety) {
            for (size_t name = 0; name < 2; ++name)
                if (texts[name])
                    addJoined(*texts[name], variety);
        });
    }
    if (!blocks->m_starts.empty())
        close();
    if (step != SQLITE_DONE)
        return nullptr;
    return blocks;
}

ScreenedRange::ScreenedRange(const NameBlocks::Index *index, std::vector<uint64_t> runs, std::string lowest,
                             std::optional<int> digits)
    : m_index(index && (!runs.empty() || digits) && index->size() > 0 ? index : nullptr), m_runs(std::move(runs)),
      m_digits(digits), m_lowest(std::move(lowest))
{
}

bool ScreenedRange::mayHold(size_t block) const
{
    return (m_runs.empty() || m_index->mayHold(block, m_runs)) && (!m_digits || m_index->mayBeginWith(block, *m_digits));
}

std::optional<std::string> ScreenedRange::nextRun()
{
    m_positioned = true;
    if (!m_index) {
        // Every block: the range is read once, from its lowest name.
        if (std::exchange(m_started, true))
            return std::nullopt;
        return m_lowest;
    }
    if (!std::exchange(m_started, true))
        m_next = m_index->blockOf(m_lowest);
    size_t first = m_next;
    while (first < m_index->size() && !mayHold(first))
        ++first;
    if (first == m_index->size())
        return std::nullopt;
    size_t past = first + 1;
    while (past < m_index->size() && mayHold(past))
        ++past;
    // The driver gives the stop block's first article and none after it in
    // the block: the next run begins after it.
    m_stop = past < m_index->size() ? std::optional(m_index->start(past)) : std::nullopt;
    m_next = past + 1;
    const std::string &start = m_index->start(first);
    return sqlServerCompareUtf8(start, m_lowest) > 0 ? start : m_lowest;
}

void ScreenedRange::gave(std::string_view name)
{
    if (m_stop && sqlServerCompareUtf8(name, *m_stop) >= 0)
        m_positioned = false;
}

} // namespace lookup
