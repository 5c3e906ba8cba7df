#include "lookup/plan/lookup_plans.h"

#include "lookup/plan/apart_candidates.h"
#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/background_reading.h"
#include "lookup/plan/file_keys.h"
#include "lookup/plan/key_ranges.h"
#include "lookup/plan/name_blocks.h"
#include "lookup/plan/name_ranks.h"
#include "lookup/plan/odd_articles.h"

#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/sqlite_internals.h"
#include "platform/rdo/sqlite/sqlite_plans.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/tokens.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <thread>
#include <utility>

namespace lookup {

namespace {

// A statement stepped once holds the file's read lock until it is released:
// the statements run meanwhile read one snapshot of the file. Each statement
// begun alone takes the lock and reads the file's header again. Null when the
// articles cannot be read; a file locked by a writer past the busy wait
// fails the lookup with the engine's words, as its first step would.
rdo::StatementCache::Statement snapshotOf(rdo::SqliteConnection::Handle &handle)
{
    rdo::StatementCache::Statement held = handle.statements->take(u"Select 1 From Articulo"_qs);
    if (const int step = held ? sqlite3_step(held.get()) : SQLITE_DONE; step != SQLITE_ROW && step != SQLITE_DONE)
        throw rdo::engineError(handle.db);
    return held;
}

// What one connection keeps for its lookups, and how it runs them.
class LookupPlans final : public rdo::SqlitePlans {
public:
    LookupPlans(rdo::SqliteConnection &connection, PlannerOptions options)
        : m_planner(connection.textColumns(), forFileOf(connection, options))
    {
        rdo::SqliteConnection::Handle &handle = connection.handle();
        if (m_varieties.install(handle.db, handle.collation) != SQLITE_OK ||
            sqlite3_create_function(handle.db, kOrderKeyFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                    accentsIgnored() ? orderKey<rdo::TextCollation::AccentInsensitive>
                                                     : orderKey<rdo::TextCollation::AccentSensitive>,
                                    nullptr, nullptr) != SQLITE_OK)
            throw rdo::engineError(handle.db);
        m_keyRangesPrepared = std::async(std::launch::async, prepareKeyRanges);
        m_keys = fileKeysOf(handle.db);
        m_streams = withScriptIndexes(handle.db, m_keys);
        if (const char *file = sqlite3_db_filename(handle.db, "main"); file && *file)
            m_path = file;
        if (!m_path.empty() && accentsIgnored())
            readBarCodesInBackground(*handle.statements);
        if (!m_path.empty() && streams())
            m_nameBlocks.readFrom(m_path);
        if (!m_path.empty())
            readInBackground(*handle.statements);
    }

    // What waits for the first lookup goes on at once, and ends where it
    // can as the connection closes.
    ~LookupPlans() override { endQuiet(Quiet::Now); }

    std::shared_ptr<rdo::rdoResultset> open(const QString &typed,
                                            const std::shared_ptr<rdo::SqliteConnection::Handle> &handle) override
    {
        const QString tsql = accentsIgnored() ? withoutAccents(typed) : typed;
        if (accentsIgnored() && !withoutLetters(tsql) && !(asciiOnly(tsql) && !barCodesWithAccents(*handle)))
            return nullptr;
        if (const auto plan = m_planner.plan(tsql, streams() ? std::nullopt : std::optional(m_keys)))
            return run(*plan, handle);
        return nullptr;
    }
    // Ignoring accents, a text is compared as its letters without them, in
    // either case: the lookup's statement with its texts so written finds the
    // same rows in the same order, and "azúcar" is read on the indexes as
    // "azucar" is.
    static QString withoutAccents(const QString &tsql)
    {
        QString written;
        qsizetype copied = 0;
        for (const rdo::TsqlToken &token : rdo::tokenizeTsql(tsql)) {
            const std::optional<QString> value = rdo::literalValue(token);
            if (!value || std::all_of(value->begin(), value->end(), [](QChar c) { return c.unicode() < 0x80; }))
                continue;
            written += QStringView(tsql).sliced(copied, token.position - copied);
            written += rdo::textLiteral(rdo::sqlServerFolded(*value, rdo::TextCollation::AccentInsensitive));
            copied = token.position + token.text.size();
        }
        return copied == 0 ? tsql : written + QStringView(tsql).sliced(copied).toString();
    }
    // The index probes and the streams find texts by their ranges in the
    // indexes' order, where an accented letter lies apart from its base
    // letter. Ignoring accents, a text that holds no letter (a code of
    // digits, an EAN-13, a scale label) has the same ranges, and its rows are
    // tried and ordered under the connection's collation; any other reads
    // every article.
    QString narrowed(const QString &tsql) const override
    {
        return accentsIgnored() && !withoutLetters(tsql) ? tsql : withIndexProbes(tsql, m_keys);
    }
    static bool withoutLetters(const QString &tsql)
    {
        return literalsHoldOnly(tsql, [](QChar c) { return !c.isLetter() && c.unicode() < 0x80; });
    }
    // Texts of ASCII letters too: where an article's name, short name or code
    // holds a letter outside ASCII, the plans read it apart and try it under
    // the connection's collation; for the others ignoring accents changes
    // nothing. Bar codes are read by the
    // ranges of the typed text's beginnings alone: a file with a bar code
    // outside ASCII (a pattern "CAFÉ%", unheard of, but the file may hold it)
    // reads every article.
    static bool asciiOnly(const QString &tsql)
    {
        return literalsHoldOnly(tsql, [](QChar c) { return c.unicode() < 0x80; });
    }
    template <typename Allowed>
    static bool literalsHoldOnly(const QString &tsql, Allowed &&allowed)
    {
        for (const rdo::TsqlToken &token : rdo::tokenizeTsql(tsql))
            if (token.kind == rdo::TsqlToken::String && !std::all_of(token.text.begin(), token.text.end(), allowed))
                return false;
        return true;
    }
    // 1 or 0; none when the file cannot tell.
    static std::optional<int64_t> barCodeWithAccent(rdo::StatementCache &statements)
    {
        return statements.firstInteger(
            u"Select Exists (Select 1 From ArticuloCodigoBarras Where ACBCodigo Glob '*[^ -~]*')"_qs);
    }
    // Read on a connection of its own from the moment the till connects (a
    // million bar codes take a third of a second), and again only when
    // another connection has written to the file since.
    void readBarCodesInBackground(rdo::StatementCache &statements)
    {
        m_barCodesReadAt = statements.firstInteger(u"PRAGMA data_version"_qs);
        m_barCodesRead = std::async(std::launch::async, [path = m_path] {
            return readOnItsOwnConnection<std::optional<int64_t>>(
                path, [](sqlite3 *, rdo::StatementCache &statements) { return barCodeWithAccent(statements); });
        });
    }
    bool barCodesWithAccents(rdo::SqliteConnection::Handle &handle)
    {
        const std::optional<int64_t> version = handle.statements->firstInteger(u"PRAGMA data_version"_qs);
        // What the background read serves while the file is as it was then.
        if (m_barCodesRead.valid() &&
            (version == m_barCodesReadAt || m_barCodesRead.wait_for(std::chrono::seconds(0)) == std::future_status::ready))
            if (const std::optional<int64_t> found = m_barCodesRead.get(); found && version && version == m_barCodesReadAt) {
                m_barCodesWithAccents = *found != 0;
                m_barCodesVersion = *version;
            }
        if (!version || *version != m_barCodesVersion) {
            const std::optional<int64_t> found = barCodeWithAccent(*handle.statements);
            m_barCodesWithAccents = !found || *found != 0;
            m_barCodesVersion = version.value_or(-1);
        }
        return m_barCodesWithAccents;
    }

    // What the lookups keep of the file, read on connections of their own
    // from the moment the till connects: the varieties first, then the odd
    // articles, and the stretches of the names' index, or on a file without
    // our index script the places of the names. The stretches come after the
    // odd articles, one reading at a time, and are there about a second after
    // the till connects: until then a lookup by words reads every stretch of
    // its first word's range (80,000 names for «TORNILLO …» at 1M). The places
    // wait for the first lookup to end (or for a few seconds without one):
    // a walk over every name beside it would slow it by a tenth, and there
    // the first lookup by words takes longest. A first lookup typed at once
    // waits on the varieties most (it takes them up halfway), and on a till
    // of two cores it shares the other core with what is read beside it.
    void readInBackground(rdo::StatementCache &statements)
    {
        const std::shared_future<void> varietiesRead =
            m_varieties.readInBackground(m_path, ArticlesWithVarieties::stampNow(statements));
        std::shared_future<void> oddRead = varietiesRead;
        if (keepsOddArticles())
            oddRead = m_odd.begin(
                [varietiesRead, read = oddArticlesElsewhere(), stamp = OddArticles::stampNow(statements)] {
                    varietiesRead.wait();
                    return read(stamp);
                });
        if (streams())
            m_nameBlocks.readAfter(u"ArtNombre"_qs, m_varieties, [oddRead] { oddRead.wait(); });
        // The first lookup's statement has given its rows when it ends; the
        // list, the chosen article and the host's events come after.
        const auto whenQuiet = [lookedUp = m_lookedUp.get_future().share()] {
            if (lookedUp.wait_for(kQuiet) == std::future_status::ready && lookedUp.get() == Quiet::AfterALookup)
                std::this_thread::sleep_for(kAfterTheFirstLookup);
        };
        if (keepsNameRanks())
            m_ranks.begin(
                [varietiesRead, whenQuiet, read = nameRanksElsewhere(), stamp = NameRanks::stampNow(statements)] {
                    varietiesRead.wait();
                    whenQuiet();
                    return read(stamp);
                });
    }

    const FileKeys &keys() const { return m_keys; }

    void prepare(rdo::StatementCache &statements)
    {
        endQuiet(Quiet::Now);
        m_varieties.awaitReading();
        m_varieties.refresh(statements);
        if (keepsOddArticles())
            m_odd.readNow(OddArticles::stampNow(statements), oddArticlesHere(statements));
        if (keepsNameRanks())
            m_ranks.readNow(NameRanks::stampNow(statements), nameRanksHere(statements));
        if (!streams())
            return;
        m_nameBlocks.refresh(statements, m_varieties);
        for (const QString &leading : {u"ArtNombre"_qs, u"ArtNombreCorto"_qs})
            m_nameBlocks.readNow(leading, statements, m_varieties);
    }

private:
    static PlannerOptions forFileOf(rdo::SqliteConnection &connection, PlannerOptions options)
    {
        rdo::SqliteConnection::Handle &handle = connection.handle();
        options.accentsIgnored = handle.collation == rdo::TextCollation::AccentInsensitive;
        options.namesNeverNull = handle.statements->firstInteger(
                                     u"Select \"notnull\" From pragma_table_info('Articulo') Where name = 'ArtNombre'"_qs) ==
                                 1;
        return options;
    }
    // The streams read the indexes of data/indexes.sql, and the stretches of
    // its name indexes. A file indexed by an earlier version, or not at all,
    // runs each lookup as one statement, with the ranges its indexes give.
    bool streams() const { return m_streams; }
    // The connection's collation, which the planner was given.
    bool accentsIgnored() const { return m_planner.options().accentsIgnored; }
    rdo::TextCollation collation() const
    {
        return accentsIgnored() ? rdo::TextCollation::AccentInsensitive : rdo::TextCollation::AccentSensitive;
    }
    // The plans read the odd articles apart on our indexes, and ignoring
    // accents on any file.
    bool keepsOddArticles() const { return m_planner.options().oddArticlesKept && (streams() || accentsIgnored()); }
    // On a file without our index script, the places of the names that lead
    // the list.
    bool keepsNameRanks() const { return !streams(); }
    static inline const QString kRankedName = QStringLiteral("ArtNombre");
    template <rdo::TextCollation collation>
    static void orderKey(sqlite3_context *context, int, sqlite3_value **argv)
    {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
            return sqlite3_result_null(context);
        const std::string key = rdo::sqlServerKeyUtf8(rdo::utf8Bytes(argv[0]), collation);
        sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    }
    static bool withScriptIndexes(sqlite3 *db, const FileKeys &keys)
    {
        const FileKeys script{KeyOrder::NoCase, KeyOrder::NoCase, KeyOrder::NoCase, KeyOrder::NoCase};
        if (keys != script)
            return false;
        return fileHas(db, u"IX_Articulo_NombreAparte"_qs) && fileHas(db, u"IX_Articulo_NombreCortoDistinto"_qs);
    }

    // The odd articles as the file holds them now, or null while they are
    // read again in the background after a change (the lookup meanwhile
    // reads them through the file's indexes).
    const OddArticles *oddArticles(rdo::StatementCache &statements)
    {
        return m_odd.at(OddArticles::stampNow(statements), m_path.empty() ? oddArticlesHere(statements) : nullptr,
                        oddArticlesElsewhere());
    }
    KeptReading<OddArticles>::Read oddArticlesHere(rdo::StatementCache &statements) const
    {
        return [&statements, collation = collation()](std::optional<int64_t> stamp) {
            return OddArticles::read(statements, collation, stamp);
        };
    }
    KeptReading<OddArticles>::Read oddArticlesElsewhere() const
    {
        return [path = m_path, collation = collation()](std::optional<int64_t> stamp) {
            return OddArticles::readFrom(path, collation, stamp);
        };
    }
    // The places of the names as the file holds them now, or null while they
    // are read again (the lookup meanwhile sorts its candidates' names).
    const NameRanks *nameRanks(rdo::StatementCache &statements)
    {
        // A file that does not count its varieties' changes gave its
        // version; one that could not be read now gave nothing.
        const auto refreshed = m_varieties.refreshedAt();
        const std::optional<int64_t> stamp = !refreshed          ? std::nullopt
                                             : refreshed->counted ? NameRanks::stampNow(statements)
                                                                  : std::optional(refreshed->changes);
        return m_ranks.at(stamp, m_path.empty() ? nameRanksHere(statements) : nullptr, nameRanksElsewhere());
    }
    KeptReading<NameRanks>::Read nameRanksHere(rdo::StatementCache &statements) const
    {
        return [&statements, collation = collation()](std::optional<int64_t> stamp) {
            return NameRanks::read(statements, kRankedName, collation, stamp);
        };
    }
    KeptReading<NameRanks>::Read nameRanksElsewhere() const
    {
        return [path = m_path, collation = collation()](std::optional<int64_t> stamp) {
            return NameRanks::readFrom(path, kRankedName, collation, stamp);
        };
    }

    struct Run;
    std::shared_ptr<rdo::rdoResultset> run(const LookupPlan &plan,
                                           const std::shared_ptr<rdo::SqliteConnection::Handle> &handle);

    LookupPlanner m_planner;
    FileKeys m_keys;
    bool m_streams = false;
    bool m_barCodesWithAccents = true;
    int64_t m_barCodesVersion = -1;
    std::optional<int64_t> m_barCodesReadAt;
    std::future<std::optional<int64_t>> m_barCodesRead;
    ArticlesWithVarieties m_varieties;
    NameBlocks m_nameBlocks;
    std::string m_path;
    KeptReading<OddArticles> m_odd;
    KeptReading<NameRanks> m_ranks;
    std::future<void> m_keyRangesPrepared;
    enum class Quiet { AfterALookup, Now };
    std::promise<Quiet> m_lookedUp;
    bool m_firstLookupEnded = false;
    static constexpr std::chrono::seconds kQuiet{3};
    static constexpr std::chrono::milliseconds kAfterTheFirstLookup{300};
    // The first lookup has ended, or the till reads everything now: what
    // waits for it is read without waiting further.
    void endQuiet(Quiet quiet)
    {
        if (!std::exchange(m_firstLookupEnded, true))
            m_lookedUp.set_value(quiet);
    }
};

// The preparing of one plan's streams. Whatever cannot be prepared (an index
// missing, say) gives null, and the statement as written runs instead and
// tells of a real error in its own words.
struct LookupPlans::Run {
    rdo::SqliteConnection::Handle &handle;
    NameBlocks &nameBlocks;
    ArticlesWithVarieties &varieties;
    const OddArticles *odd;
    const NameRanks *ranks;
    const LookupPlan &plan;
    mutable std::map<QString, std::optional<ApartCandidates::Found>> readApart = {};

    rdo::StatementCache::Statement prepare(const QString &sql, int columns) const
    {
        rdo::StatementCache::Statement prepared = handle.statements->take(sql);
        if (!prepared || !sqlite3_stmt_readonly(prepared.get()) || sqlite3_column_count(prepared.get()) != columns)
            return nullptr;
        return prepared;
    }

    bool sorted(rdo::PreparedStream &prepared, const QString &sql) const
    {
        prepared.rows = prepare(sql, plan.order.visibleColumns);
        return prepared.rows != nullptr;
    }

    bool driven(rdo::PreparedStream &prepared, const LookupPlan::Driven &stream) const
    {
        prepared.driven = true;
        prepared.rows = prepare(stream.rows, plan.order.visibleColumns + 1);
        if (stream.odd && odd) {
            prepared.listed = odd->listed(stream.odd->leadingColumn, stream.odd->terms, varieties);
            return prepared.rows != nullptr;
        }
        if (stream.ranked && ranks && ranks->column() == stream.ranked->leadingColumn)
            if (std::optional<bool> ready = ranked(prepared, *stream.ranked))
                return *ready && prepared.rows != nullptr;
        prepared.driver = prepare(stream.driver, 4);
        if (!prepared.rows || !prepared.driver)
            return false;
        if (!stream.secondKeys.isEmpty()) {
            prepared.secondKeys = prepare(stream.secondKeys, 1);
            if (!prepared.secondKeys)
                return false;
        }
        return !stream.range || readsRange(prepared, *stream.range);
    }

    // The candidates' identifiers, read on the indexes, put in the order of
    // their names' places; none when one of them is not known (an article
    // added since the places were read).
    std::optional<bool> ranked(rdo::PreparedStream &prepared, const LookupPlan::Driven::Ranked &stream) const
    {
        // The candidates and their names are read in one snapshot of the file.
        rdo::StatementCache::Statement held = snapshotOf(handle);
        const rdo::StatementCache::Statement candidates = prepare(stream.candidates, 1);
        rdo::StatementCache::Statement names =
            prepare(QStringLiteral("Select %1, ArtCodigo From Articulo Where ArtID = ?1").arg(stream.leadingColumn), 2);
        if (!held || !candidates || !names)
            return std::nullopt;
        varieties.takeUpEndedReading();
        std::vector<int64_t> found;
        int step;
        while ((step = sqlite3_step(candidates.get())) == SQLITE_ROW)
            if (const int64_t id = sqlite3_column_int64(candidates.get(), 0);
                !stream.withVarietiesOnly || varieties.mayHaveVarieties(id))
                found.push_back(id);
        // A file locked by a writer past the busy wait: the lookup fails
        // with the engine's words, as its first step would.
        if (step != SQLITE_DONE)
            throw rdo::engineError(handle.db);
        prepared.listed = ranks->listed(std::move(found), std::move(names), std::move(held));
        if (!prepared.listed)
            return std::nullopt;
        return true;
    }

    // Sets how a driver over a range of names reads it; false when its
    // statement has no parameter to read it from.
    bool readsRange(rdo::PreparedStream &prepared, const LookupPlan::Driven::Range &range) const
    {
        prepared.fromParameter = sqlite3_bind_parameter_index(prepared.driver.get(), kDriverFrom);
        if (prepared.fromParameter == 0)
            return false;
        // The blocks are read only for a pattern they can narrow.
        const std::string pattern = range.pattern.value_or(QString()).toStdString();
        std::vector<uint64_t> runs = NameBlocks::Index::runsOf(pattern);
        // Over the whole index, a code of two digits passes over the
        // stretches where no text begins with them.
        const std::optional<int> digits =
            range.lowest.isEmpty() ? NameBlocks::Index::digitsBeginning(pattern) : std::nullopt;
        // They hold the letters of names with their accents: ignoring
        // accents, every stretch is read.
        const NameBlocks::Index *blocks =
            (runs.empty() && !digits) || handle.collation == rdo::TextCollation::AccentInsensitive
                ? nullptr
                : nameBlocks.of(range.leadingColumn, *handle.statements, varieties);
        prepared.range =
            std::make_unique<ScreenedRange>(blocks, std::move(runs), range.lowest.toStdString(), digits);
        return true;
    }

    // What a select of candidates gives, read once for all the streams that
    // share it (a code's range, in the branch of plain articles and in that
    // of varieties), none when they are too many (told by the indexes once
    // 64 are read); null when it cannot be prepared.
    const std::optional<ApartCandidates::Found> *candidatesOf(const LookupPlan::CandidateSelect &candidates) const
    {
        const QString &select = candidates.select;
        if (const auto known = readApart.find(select); known != readApart.end())
            return &known->second;
        const rdo::StatementCache::Statement prepared = prepare(select, 4);
        if (!prepared)
            return nullptr;
        std::function<bool()> tooMany;
        if (!candidates.beyondMost.isEmpty())
            tooMany = [&] {
                // A code of two digits: the articles counted with the
                // stretches of the names tell at once, where the count reads
                // 2,000 codes off the file (half a millisecond at a million).
                // Less the names that begin alike, which the select may leave
                // out, they are fewer than the select gives.
                const auto digits = NameBlocks::Index::digitsOfPrefix(candidates.codesBeginWith);
                if (const NameBlocks::Index *blocks =
                        digits ? nameBlocks.of(u"ArtNombre"_qs, *handle.statements, varieties) : nullptr;
                    blocks && blocks->codesBeginningWith(*digits) - blocks->namesBeginningWith(*digits) > plan.mostToSort)
                    return true;
                const auto counted = handle.statements->firstInteger(candidates.beyondMost);
                return counted && *counted > plan.mostToSort;
            };
        return &readApart.emplace(select, ApartCandidates::read(prepared.get(), plan.mostToSort, tooMany)).first->second;
    }

    // Rows found apart: when few, their articles are sorted in memory, and
    // their rows read article by article as far as the list is read; when
    // many, they are read over the whole name's index. None: the stream is
    // left out.
    std::optional<bool> apart(rdo::PreparedStream &prepared, const LookupPlan::Apart &stream, bool first) const
    {
        std::vector<const ApartCandidates::Found *> found;
        for (const LookupPlan::CandidateSelect &candidates : stream.candidates) {
            const std::optional<ApartCandidates::Found> *read = candidatesOf(candidates);
            if (!read)
                return false;
            if (!*read)
                return driven(prepared, stream.many);
            found.push_back(&**read);
        }
        varieties.takeUpEndedReading();
        const auto few = ApartCandidates::sorted(found, plan.mostToSort, [&](int64_t id) {
            return !stream.withVarietiesOnly || varieties.mayHaveVarieties(id);
        });
        if (!few)
            return driven(prepared, stream.many);
        // No candidate, no row: most codes and names are found by their own
        // range alone. The first stream stays for the columns' names.
        if ((*few)->size() == 0)
            return first ? std::optional(sorted(prepared, stream.sql + QStringLiteral(" And ArtID In (Null)") +
                                                              stream.sortedBy))
                         : std::nullopt;
        prepared.driven = true;
        prepared.rows = prepare(stream.many.rows, plan.order.visibleColumns + 1);
        prepared.listed = *few;
        return prepared.rows != nullptr;
    }

    std::shared_ptr<rdo::rdoResultset> streams(const std::shared_ptr<rdo::SqliteConnection::Handle> &shared) const
    {
        std::vector<rdo::PreparedStream> streams;
        for (const LookupPlan::Stream &stream : plan.streams) {
            rdo::PreparedStream prepared;
            prepared.branch = stream.branch;
            std::optional<bool> ready;
            if (const auto *s = std::get_if<LookupPlan::Sorted>(&stream.how))
                ready = sorted(prepared, s->sql);
            else if (const auto *d = std::get_if<LookupPlan::Driven>(&stream.how))
                ready = driven(prepared, *d);
            else
                ready = apart(prepared, std::get<LookupPlan::Apart>(stream.how), streams.empty());
            if (!ready)
                continue;
            if (!*ready)
                return nullptr;
            streams.push_back(std::move(prepared));
        }
        if (streams.empty())
            return nullptr;
        return rdo::mergedRows(shared, plan.order, std::move(streams));
    }
};

std::shared_ptr<rdo::rdoResultset> LookupPlans::run(const LookupPlan &plan,
                                                    const std::shared_ptr<rdo::SqliteConnection::Handle> &handle)
{
    // What the lookup asks of the file before its streams, and their first
    // rows, come from one snapshot.
    const rdo::StatementCache::Statement snapshot = snapshotOf(*handle);
    // Until the varieties read since the connection was opened are there,
    // nothing is known of them: the lookup asks the file article by article,
    // until they are there. So too, on a file that does not count their
    // changes, while they are read again after another program's commit.
    const auto when = m_path.empty() ? ArticlesWithVarieties::When::Now : ArticlesWithVarieties::When::Later;
    if (const auto later = m_varieties.refresh(*handle->statements, when))
        m_varieties.readInBackground(m_path, later);
    m_nameBlocks.refresh(*handle->statements, m_varieties);
    const OddArticles *odd = keepsOddArticles() ? oddArticles(*handle->statements) : nullptr;
    const NameRanks *ranks = keepsNameRanks() ? nameRanks(*handle->statements) : nullptr;
    auto rows = Run{*handle, m_nameBlocks, m_varieties, odd, ranks, plan}.streams(handle);
    endQuiet(Quiet::AfterALookup);
    return rows;
}

// Registered when the library is loaded: see the header.
[[maybe_unused]] const bool kRegistered = [] {
    rdo::registerSqlitePlans(
        [](rdo::SqliteConnection &connection) { return std::make_shared<LookupPlans>(connection, PlannerOptions{}); });
    return true;
}();

} // namespace

void installLookupPlans(rdo::SqliteConnection &connection, PlannerOptions options)
{
    connection.setPlans(nullptr);
    connection.setPlans(std::make_shared<LookupPlans>(connection, options));
}

namespace {

LookupPlans *plansOf(rdo::rdoConnection &connection)
{
    auto *sqlite = dynamic_cast<rdo::SqliteConnection *>(&connection);
    return sqlite ? dynamic_cast<LookupPlans *>(sqlite->plans()) : nullptr;
}

} // namespace

void prepareLookups(rdo::rdoConnection &connection)
{
    if (LookupPlans *plans = plansOf(connection))
        plans->prepare(*static_cast<rdo::SqliteConnection &>(connection).handle().statements);
}

std::optional<FileKeys> fileKeysOf(rdo::rdoConnection &connection)
{
    if (const LookupPlans *plans = plansOf(connection))
        return plans->keys();
    return std::nullopt;
}

} // namespace lookup
