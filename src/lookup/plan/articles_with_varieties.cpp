#include "lookup/plan/articles_with_varieties.h"

// Which articles have varieties, and their names, known without reading
// ArticuloVariedad. A lookup's variety stream walks the name's index and would
// otherwise probe ArticuloVariedad at every article, though most have none;
// on a million articles that probe was most of a two-word lookup. Where every
// article of a name has varieties (clothes in colours and sizes), trying each
// variety's name against the typed words in the engine was most of the rest.
//
// What is kept is exact: it is read again whenever the count of changes that
// the lookup indexes' triggers keep on ArticuloVariedad (data/indexes.sql) has
// moved since, or on a file without that count whenever another connection
// has committed; meanwhile nothing is known, and every article may have
// varieties. On a file whose triggers do not count renamings (indexed before
// they did), the names are read but not relied on.

#include "lookup/plan/background_reading.h"
#include "platform/rdo/sqlite/sqlite_internals.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <unordered_map>
#include <utility>

namespace lookup {

using rdo::StatementCache;
using rdo::SqlServerLikePattern;
using rdo::utf8Bytes;
using rdo::withKeptLikePattern;

namespace {

void conVariedades(sqlite3_context *context, int, sqlite3_value **argv)
{
    auto *kept = static_cast<ArticlesWithVarieties *>(sqlite3_user_data(context));
    kept->takeUpEndedReading();
    const bool may = sqlite3_value_type(argv[0]) != SQLITE_INTEGER ||
                     kept->mayHaveVarieties(sqlite3_value_int64(argv[0]));
    sqlite3_result_int(context, may ? 1 : 0);
}

template <rdo::TextCollation collation>
void variedadPuedeCoincidir(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    auto *kept = static_cast<ArticlesWithVarieties *>(sqlite3_user_data(context));
    kept->takeUpEndedReading();
    // The lookups give one name or two.
    constexpr int kMostNames = 2;
    if (argc < 3 || argc > 2 + kMostNames || sqlite3_value_type(argv[0]) != SQLITE_INTEGER ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_int(context, 1);
    std::array<std::optional<std::string_view>, kMostNames> names;
    for (int i = 2; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) != SQLITE_NULL)
            names[static_cast<size_t>(i - 2)] = utf8Bytes(argv[i]);
    if (const auto may = withKeptLikePattern(context, argv, 1, [&](const SqlServerLikePattern &pattern) {
            return kept->mayMatch(sqlite3_value_int64(argv[0]), pattern,
                                  std::span(names.data(), static_cast<size_t>(argc - 2)));
        }, collation))
        sqlite3_result_int(context, *may ? 1 : 0);
}

} // namespace

int ArticlesWithVarieties::install(sqlite3 *db, rdo::TextCollation collation)
{
    const int installed = sqlite3_create_function(db, kFunction, 1, SQLITE_UTF8, this, conVariedades, nullptr, nullptr);
    if (installed != SQLITE_OK)
        return installed;
    return sqlite3_create_function(db, kMatchFunction, -1, SQLITE_UTF8, this,
                                   collation == rdo::TextCollation::AccentInsensitive
                                       ? variedadPuedeCoincidir<rdo::TextCollation::AccentInsensitive>
                                       : variedadPuedeCoincidir<rdo::TextCollation::AccentSensitive>,
                                   nullptr, nullptr);
}

std::optional<ArticlesWithVarieties::Stamp> ArticlesWithVarieties::stampNow(StatementCache &statements)
{
    // Whether renamings are counted is asked every time, as the trigger may
    // have been dropped.
    const auto changes = statements.firstInteger(QStringLiteral("Select AVCCambios From ArticuloVariedadCambios"));
    if (changes) {
        const auto renamings = statements.firstInteger(
            QStringLiteral("Select Count(*) From sqlite_master Where type = 'trigger' And name = '") +
            QLatin1String(kRenameTrigger) + u'\'');
        if (!renamings)
            return std::nullopt;
        return Stamp{*changes, true, *renamings > 0};
    }
    // The version moves at a renaming too: the names are relied on.
    if (const auto version = statements.firstInteger(QStringLiteral("PRAGMA data_version")))
        return Stamp{*version, false, true};
    return std::nullopt;
}

std::optional<ArticlesWithVarieties::Stamp> ArticlesWithVarieties::refresh(StatementCache &statements, When when)
{
    // The stamp is read before the rest: a change made in between is then
    // read again at the next lookup, never missed.
    const std::optional<Stamp> stamp = stampNow(statements);
    m_refreshedAt = stamp;
    if (m_reading.valid() && !readingEnded()) {
        m_mayTakeUp = stamp && stamp == m_readingAt;
        return std::nullopt;
    }
    awaitReading();
    if (stamp == this->stamp())
        return std::nullopt;
    m_kept.reset();
    if (!stamp || (when == When::Later && !stamp->counted))
        return stamp;
    m_kept = read(statements, *stamp);
    return std::nullopt;
}

std::shared_future<void> ArticlesWithVarieties::readInBackground(const std::string &path, std::optional<Stamp> stamp)
{
    awaitReading();
    m_readingAt = stamp;
    // The lookup that asks for it, if one does, began at stamp.
    m_mayTakeUp = true;
    std::promise<void> ended;
    std::shared_future<void> whenEnded = ended.get_future().share();
    m_reading = std::async(std::launch::async, [path, stamp, ended = std::move(ended)]() mutable {
        using Read = std::shared_ptr<const Kept>;
        Read read = readOnItsOwnConnection<Read>(path, [&](sqlite3 *db, StatementCache &statements) {
            passOverPagesOnce(db);
            return stamp ? ArticlesWithVarieties::read(statements, *stamp) : nullptr;
        });
        ended.set_value();
        return read;
    }).share();
    return whenEnded;
}

ArticlesWithVarieties::Shared ArticlesWithVarieties::shared() const
{
    Shared shared;
    shared.m_reading = m_reading;
    shared.m_kept = m_kept;
    return shared;
}

ArticlesWithVarieties::ArticlesWithVarieties(const Shared &shared)
{
    if (std::shared_ptr<const Kept> kept = shared.get(); kept && kept->stamp.counted)
        m_kept = std::move(kept);
}

void ArticlesWithVarieties::awaitReading()
{
    if (m_reading.valid())
        keep(std::exchange(m_reading, {}).get());
}

bool ArticlesWithVarieties::readingEnded() const
{
    return m_reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void ArticlesWithVarieties::takeUpEndedReading()
{
    if (m_mayTakeUp && m_reading.valid() && readingEnded())
        keep(std::exchange(m_reading, {}).get());
}

void ArticlesWithVarieties::keep(std::shared_ptr<const Kept> read)
{
    m_mayTakeUp = false;
    m_kept = std::move(read);
}

std::shared_ptr<const ArticlesWithVarieties::Kept> ArticlesWithVarieties::read(StatementCache &statements,
                                                                               const Stamp &stamp)
{
    // The names only where they are relied on; else the articles alone, read
    // on the articles' index.
    const StatementCache::Statement varieties = statements.take(
        stamp.namesKept ? QStringLiteral("Select AVaArticulo, AVaNombre From ArticuloVariedad Order By AVaArticulo")
                        : QStringLiteral("Select AVaArticulo From ArticuloVariedad Order By AVaArticulo"));
    if (!varieties)
        return nullptr;
    std::vector<int64_t> articles;
    std::vector<uint32_t> first;
    std::vector<int32_t> varietyNames;
    std::vector<std::string> names;
    // Shops name their varieties from a few colours and sizes: each name is kept once.
    std::unordered_map<std::string, int32_t> nameIndex;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(varieties.get())) == SQLITE_ROW) {
        const int64_t article = sqlite3_column_int64(varieties.get(), 0);
        // An identifier stored as text in some rows sorts apart from the
        // same number: its varieties would be split, and nothing is kept.
        if (!articles.empty() && article < articles.back())
            return nullptr;
        if (articles.empty() || article != articles.back()) {
            articles.push_back(article);
            if (stamp.namesKept)
                first.push_back(static_cast<uint32_t>(varietyNames.size()));
        }
        if (!stamp.namesKept)
            continue;
        if (sqlite3_column_type(varieties.get(), 1) == SQLITE_NULL) {
            varietyNames.push_back(-1);
            continue;
        }
        std::string name(reinterpret_cast<const char *>(sqlite3_column_text(varieties.get(), 1)),
                         static_cast<size_t>(sqlite3_column_bytes(varieties.get(), 1)));
        const auto [found, added] = nameIndex.try_emplace(name, static_cast<int32_t>(names.size()));
        if (added)
            names.push_back(std::move(name));
        varietyNames.push_back(found->second);
    }
    if (step != SQLITE_DONE)
        return nullptr;
    if (stamp.namesKept)
        first.push_back(static_cast<uint32_t>(varietyNames.size()));
    auto kept = std::make_shared<Kept>();
    kept->stamp = stamp;
    // Identifiers up to 64 million take a bit each (8 MB at most; a million
    // articles, 125 kB); others are searched for.
    constexpr int64_t kMostMarked = int64_t{1} << 26;
    if (!articles.empty() && articles.front() >= 0 && articles.back() < kMostMarked) {
        kept->marked.assign(static_cast<size_t>(articles.back()) + 1, false);
        for (const int64_t article : articles)
            kept->marked[static_cast<size_t>(article)] = true;
    }
    kept->articles = std::move(articles);
    kept->firstVariety = std::move(first);
    kept->varietyNames = std::move(varietyNames);
    kept->names = std::move(names);
    return kept;
}

bool ArticlesWithVarieties::mayHaveVarieties(int64_t article) const
{
    if (!m_kept)
        return true;
    const std::vector<bool> &marked = m_kept->marked;
    if (!marked.empty())
        return article >= 0 && static_cast<uint64_t>(article) < marked.size() && marked[static_cast<size_t>(article)];
    return std::binary_search(m_kept->articles.begin(), m_kept->articles.end(), article);
}

bool ArticlesWithVarieties::mayMatch(int64_t article, const SqlServerLikePattern &pattern,
                                     std::span<const std::optional<std::string_view>> names) const
{
    if (!namesKept())
        return true;
    // Asked of thousands of articles a lookup: the joined text's room is kept.
    thread_local std::string joined;
    bool matched = false;
    forEachVarietyName(article, [&](std::string_view variety) {
        for (const auto &before : names)
            if (before && !matched) {
                joined.assign(*before).append(variety);
                matched = pattern.matchesUtf8(joined);
            }
    });
    return matched;
}

} // namespace lookup
