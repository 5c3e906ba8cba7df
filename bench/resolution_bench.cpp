// What a cashier waits for after Enter: the typed text resolved into a loaded
// article, for each kind of text (exact code, code prefix, two name words,
// scale label, plain EAN-13, blanks only, the first character of a code), on generated catalogues of 100k
// articles (and 1M with VOK_BENCH_1M=1; see catalogue_cache.h), in each file state: with our lookup
// indexes, and as a shop's file comes (NOCASE text, or SQLite's own order). Beside each, a
// hand-written query on the indexed file that returns what the list shows for
// the same text with the best plan we could write, so that the cost of the
// control's statement (its unions, the translation, the probes added at
// execution time), the item list and the loading shows against the least the
// database must do. Figures: p50 and p99 of single Enter presses; the text is
// typed again, untimed, before each one. With --plans the program prints the
// plan SQLite uses for one statement of each kind, and runs nothing; with
// --slowest it times every text of each kind (the best of three presses) and
// prints the slowest ones, which are what a p99 is made of. --file-state=AsItComes (or PlainText)
// times only that state beside the baselines.

#include "catalogue.h"

#include "control/enumerations.h"
#include "control/vok_t_articulo_p.h"
#include "lookup/query_builder.h"
#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/lookup_plans.h"
#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/rdo.h"
#include "platform/rdo/sqlite/sqlite_connection.h"
#include "platform/vb/error.h"
#include "platform/ui/delegating_toolkit.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"

#include "benchmark_host.h"
#include "catalogue_cache.h"
#include "percentiles.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

// The control's private routines, measured without the keyboard around them.
struct ControlInternals {
    static void validarArticulo(vokTArticulo &control, const QString &text)
    {
        vokTArticuloPrivate::get(control).ValidarArticulo(text);
    }
    static void mostrarLista(vokTArticulo &control, const QString &sql)
    {
        vokTArticuloPrivate::get(control).MostrarLista(sql);
    }
    static lookup::LookupSettings settings(vokTArticulo &control)
    {
        return vokTArticuloPrivate::get(control).lookupSettings();
    }
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t Samples = 100;
constexpr benchmark::IterationCount EnterPresses = 60;

// The headless toolkit whose item list reads a screenful of rows and takes the
// first, as a cashier who accepts the top candidate; message boxes are
// answered silently.
class ChoosingToolkit final : public ui::DelegatingToolkit {
public:
    static constexpr int Screenful = 20;
    // Wraps the thread's headless toolkit; built before it is replaced.
    ChoosingToolkit() : DelegatingToolkit(ui::toolkit()) {}
    int16_t messageBox(const QString &, int16_t, const QString &) override { return 1; }
    ui::ItemChoice showItemList(const ui::ItemListLayout &, ui::RowSource &rows) override
    {
        std::vector<ui::ItemRow> read;
        for (int i = 0; i < Screenful && !rows.atEnd(); ++i)
            read.push_back(rows.takeRow());
        if (read.empty())
            return std::nullopt;
        return read.front();
    }
    void processPendingMessages() override {}
};

// The connection the control is given, which remembers the statements it
// runs, for --plans.
class RecordingConnection final : public rdo::rdoConnection {
public:
    explicit RecordingConnection(std::shared_ptr<rdo::rdoConnection> inner) : m_inner(std::move(inner)) {}
    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t type, int16_t lock) override
    {
        statements.append(sql);
        return m_inner->OpenResultset(sql, type, lock);
    }
    QString Connect() const override { return m_inner->Connect(); }
    QStringList statements;

private:
    std::shared_ptr<rdo::rdoConnection> m_inner;
};

enum Kind { ExactCode, CodePrefix, NameWords, ScaleLabel, Ean13, BlanksOnly, OneCharacterCode, Kinds };
constexpr std::array<const char *, Kinds> KindNames{"ExactCode", "CodePrefix", "TwoNameWords", "ScaleLabel", "Ean13",
                                                   "BlanksOnly", "OneCharacterCode"};

// A text of one kind, and how the baseline finds what it names: the condition
// after the article select and after the variety select (for the name kinds),
// or after the bar-code selects' filters.
struct Sample {
    QString typed;
    std::array<QString, 2> conditions;
};

QString quoted(const QString &text)
{
    return u'\'' + QString(text).replace(u"'"_qs, u"''"_qs) + u'\'';
}

// The range of the lookup indexes (NOCASE) that holds the texts beginning
// with an ASCII prefix, as SQL Server's rules find them.
QString keyRange(const QString &column, const QString &prefix)
{
    QString above = prefix.toLower();
    above.back() = QChar(above.back().unicode() + 1);
    const QString collated = column + u" COLLATE NOCASE"_qs;
    return collated + u" >= "_qs + quoted(prefix.toLower()) + u" And "_qs + collated + u" < "_qs + quoted(above);
}

std::array<QString, 2> codeRange(const std::string &code)
{
    const QString prefix = QString::fromStdString(code);
    const QString where = u" Where "_qs + keyRange(u"ArtCodigo"_qs, prefix) + u" And ArtCodigo Like "_qs + quoted(prefix + u'%');
    return {where, where};
}

std::array<QString, 2> nameRange(const QString &firstWord, const QString &pattern)
{
    const QString range = u" Where "_qs + keyRange(u"ArtNombre"_qs, firstWord);
    return {range + u" And ArtNombre Like "_qs + quoted(pattern),
            range + u" And (ArtNombre Like "_qs + quoted(pattern) + u" Or ArtNombre + AVaNombre Like "_qs + quoted(pattern) +
                u")"_qs};
}

std::array<QString, 2> scaleLabel(const std::string &scanned)
{
    QStringList patterns;
    for (size_t fixed = 2; fixed < scanned.size(); ++fixed)
        patterns.append(quoted(QString::fromStdString(scanned.substr(0, fixed)) + u'%'));
    const QString where =
        u" And ACBCodigo COLLATE NOCASE In ("_qs + patterns.join(u", "_qs) + u") And ACBLargo In (0, 13)"_qs;
    return {where, where};
}

std::array<QString, 2> barCode(const std::string &code)
{
    const QString where = u" And ACBCodigo COLLATE NOCASE = "_qs + quoted(QString::fromStdString(code)) +
                          u" And ACBLargo In (0, 13)"_qs;
    return {where, where};
}

// The hand-written statement: the same columns and rows as the control's
// lookup for that text, each branch narrowed by the one index that finds its
// rows.
QString baselineStatement(Kind kind, const lookup::LookupSettings &s, const Sample &sample)
{
    QString sql;
    if (kind == BlanksOnly || kind == OneCharacterCode)
        // The first screenful of the company's articles (that match) on the
        // name's index: the rows the list shows while no variety falls among
        // them.
        return lookup::ArmarSelectArticulo(s, true).replace(u"Select "_qs, u"Select Top 20 "_qs)
                   .replace(u" From Articulo "_qs, u" From Articulo INDEXED BY IX_Articulo_NombreClave "_qs) +
               sample.conditions[0] + lookup::ArmarFiltros(s, true) +
               u" Order By ArtNombre COLLATE NOCASE, ArtCodigo COLLATE NOCASE"_qs;
    if (kind == ScaleLabel || kind == Ean13)
        sql = lookup::ArmarSelectCodigoBarras(s, true) + lookup::ArmarFiltros(s, true) + sample.conditions[0] +
              u" UNION ALL "_qs + lookup::ArmarSelectCodigoBarras(s, false) + lookup::ArmarFiltros(s, false) +
              sample.conditions[1];
    else {
        // The index the range is on, named: the planner's statistics are sampled.
        const QString index = kind == NameWords ? u" INDEXED BY IX_Articulo_NombreClave "_qs
                                                : u" INDEXED BY IX_Articulo_CodigoClave "_qs;
        const auto indexed = [&](QString select) { return select.replace(u" From Articulo "_qs, u" From Articulo"_qs + index); };
        sql = indexed(lookup::ArmarSelectArticulo(s, true)) + sample.conditions[0] + lookup::ArmarFiltros(s, true) +
              u" UNION ALL "_qs + indexed(lookup::ArmarSelectArticulo(s, false)) + sample.conditions[1] +
              lookup::ArmarFiltros(s, false);
    }
    return sql + u" Order By NombreArt, ArtCodigo"_qs;
}

struct Catalogue {
    QString path;
    std::array<std::vector<Sample>, Kinds> samples;
    std::unique_ptr<vokTArticulo> control;
    std::shared_ptr<RecordingConnection> connection;
    sqlite3 *db = nullptr;
    std::map<QString, int32_t> loaded; // the article each text loaded
};

// By size and file state; the baselines run on the indexed file.
std::map<std::pair<int64_t, FileState>, Catalogue> catalogues;

std::vector<std::array<std::string, 2>> rows(sqlite3 *db, const char *sql)
{
    std::vector<std::array<std::string, 2>> found;
    sqlite3_stmt *query = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW)
        found.push_back({reinterpret_cast<const char *>(sqlite3_column_text(query, 0)),
                         reinterpret_cast<const char *>(sqlite3_column_text(query, 1))});
    sqlite3_finalize(query);
    return found;
}

// Texts of each kind that name articles every lookup can load.
void chooseSamples(Catalogue &c)
{
    const char *loadable = " ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = 1 And ArtFoto Is Not Null And "
                           "ArtNoUtilizarGenerico = 0 And Not Exists (Select 1 From ArticuloVariedad Where "
                           "AVaArticulo = ArtID)";
    // Codes that no other code begins with, and prefixes that several share.
    auto codes = rows(c.db, (std::string("Select ArtCodigo, ArtNombre From Articulo Where") + loadable).c_str());
    std::sort(codes.begin(), codes.end());
    const size_t step = std::max<size_t>(1, codes.size() / Samples);
    for (size_t i = 0; i + 1 < codes.size() && c.samples[ExactCode].size() < Samples; i += step)
        if (codes[i + 1][0].rfind(codes[i][0], 0) != 0)
            c.samples[ExactCode].push_back({QString::fromStdString(codes[i][0]), codeRange(codes[i][0])});
    for (size_t i = 0; i + 1 < codes.size() && c.samples[CodePrefix].size() < Samples; i += step) {
        const std::string prefix = codes[i][0].substr(0, codes[i][0].size() - 1);
        if (codes[i + 1][0].rfind(prefix, 0) == 0)
            c.samples[CodePrefix].push_back({QString::fromStdString(prefix), codeRange(prefix)});
    }
    for (size_t i = 0; i < codes.size() && c.samples[NameWords].size() < Samples; i += step) {
        const QStringList words = QString::fromStdString(codes[i][1]).split(u' ', Qt::SkipEmptyParts);
        if (words.size() < 2 || words[1].size() < 3)
            continue;
        const QString typed = words[0] + u' ' + words[1].left(3);
        c.samples[NameWords].push_back({typed, nameRange(words[0], words[0] + u'%' + words[1].left(3) + u'%')});
    }
    // Scale patterns of one article only, and plain EAN-13 codes.
    const std::string barCodes = std::string("Select ACBCodigo, ACBLargo From ArticuloCodigoBarras Inner Join Articulo "
                                             "On ArtID = ACBArticulo Where ACBVariedad = 0 And") + loadable;
    std::map<std::string, int> uses;
    const auto all = rows(c.db, barCodes.c_str());
    for (const auto &row : all)
        ++uses[row[0]];
    for (const auto &[code, length] : all) {
        if (uses[code] != 1)
            continue;
        if (length == "13" && code.back() == '%' && c.samples[ScaleLabel].size() < Samples) {
            const std::string fixed = code.substr(0, code.size() - 1);
            const std::string scanned = fixed + std::string("0001505").substr(0, 13 - fixed.size());
            c.samples[ScaleLabel].push_back({QString::fromStdString(scanned), scaleLabel(scanned)});
        } else if (code.size() == 13 && code.find('%') == std::string::npos && c.samples[Ean13].size() < Samples) {
            c.samples[Ean13].push_back({QString::fromStdString(code), barCode(code)});
        }
    }
    std::set<QChar> firsts;
    for (const auto &code : codes)
        if (const QChar first = QString::fromStdString(code[0]).front(); firsts.insert(first).second) {
            const QString pattern = quoted(QString(first) + u'%');
            const QString where = u" Where (ArtCodigo Like "_qs + pattern + u" Or ArtNombre Like "_qs + pattern +
                                  u" Or ArtNombreCorto Like "_qs + pattern + u')';
            c.samples[OneCharacterCode].push_back({QString(first), {where, where}});
        }
    for (int blanks = 1; blanks <= 3; ++blanks)
        c.samples[BlanksOnly].push_back({QString(blanks, u' '), {u" Where 1=1"_qs, u" Where 1=1"_qs}});
}

void openCatalogue(int64_t articles, FileState state)
{
    Catalogue &c = catalogues[{articles, state}];
    c.path = cachedCatalogue(articles, state);
    c.db = openBaselineConnection(c.path);
    chooseSamples(c);
    for (size_t k = 0; k < Kinds; ++k)
        std::fprintf(stderr, "%lld articles, %s, %s: %zu texts\n", static_cast<long long>(articles),
                     kFileStateNames[int(state)], KindNames[k], c.samples[k].size());

    c.control = std::make_unique<vokTArticulo>();
    const auto sqlite = rdo::SqliteConnection::open("sqlite:" + c.path);
    // As a till does while it starts: what the lookups keep of the file is
    // read now, not by the first lookups while they run.
    lookup::prepareLookups(*sqlite);
    c.connection = std::make_shared<RecordingConnection>(sqlite);
    c.control->setConnect(c.connection);
    c.control->setEmpresa(1);
    c.control->setFormatDisplay(afd_CodigoNombre);
    // The first lookup reads the list layout and the price type.
    ControlInternals::validarArticulo(*c.control, u"1"_qs);
}

std::string figureName(const char *what, int64_t kind, FileState state = FileState::Indexed)
{
    return std::string(what) + "/" + kFileStateNames[int(state)] + "/" + KindNames[static_cast<size_t>(kind)];
}

template <typename Call>
void timed(benchmark::State &state, const std::string &what, Call &&call)
{
    std::vector<double> micros;
    size_t i = 0;
    for (auto _ : state) {
        const auto started = Clock::now();
        call(i++);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - started).count());
    }
    reportPercentiles(state, std::move(micros), what, state.range(0));
}

// From ValidarArticulo, as Enter calls it, to the loaded article.
void BM_Lookup(benchmark::State &state)
{
    const auto file = static_cast<FileState>(state.range(2));
    Catalogue &c = catalogues.at({state.range(0), file});
    const auto &samples = c.samples[static_cast<size_t>(state.range(1))];
    if (samples.empty())
        return state.SkipWithError("no text of this kind in the catalogue");
    size_t unloaded = 0;
    timed(state, figureName("Lookup", state.range(1), file), [&](size_t i) {
        const Sample &sample = samples[i % samples.size()];
        ControlInternals::validarArticulo(*c.control, sample.typed);
        unloaded += c.control->ID() == 0 ? 1 : 0;
        c.loaded[sample.typed] = c.control->ID();
    });
    state.counters["unloaded"] = static_cast<double>(unloaded);
}

// The hand-written statement through the same list and loading.
void BM_Baseline(benchmark::State &state)
{
    Catalogue &c = catalogues.at({state.range(0), FileState::Indexed});
    const Kind kind = static_cast<Kind>(state.range(1));
    const auto &samples = c.samples[kind];
    if (samples.empty())
        return state.SkipWithError("no text of this kind in the catalogue");
    const lookup::LookupSettings settings = ControlInternals::settings(*c.control);
    std::vector<QString> statements;
    for (const Sample &sample : samples)
        statements.push_back(baselineStatement(kind, settings, sample));
    size_t differs = 0;
    timed(state, figureName("Baseline", kind), [&](size_t i) {
        // As the lookup's own handler does, a row the control cannot load
        // (a Null picture reference) ends the load.
        try {
            ControlInternals::mostrarLista(*c.control, statements[i % samples.size()]);
        } catch (const vb::Error &) {
        }
        const auto loaded = c.loaded.find(samples[i % samples.size()].typed);
        differs += loaded != c.loaded.end() && loaded->second != c.control->ID() ? 1 : 0;
    });
    // The baseline must load what the lookup loaded.
    state.counters["differs"] = static_cast<double>(differs);
}

// The plan SQLite uses for each statement the lookup of one text of each kind
// runs, as the back end rewrites them, and for the baseline.
void printPlans(Catalogue &c)
{
    const QStringList textColumns = rdo::SqliteConnection::open("sqlite:" + c.path)->textColumns();
    const lookup::LookupPlanner planner(textColumns);
    const rdo::SqliteTranslation translation(textColumns, true);
    // A statement as the back end runs it when it is not run as streams.
    const auto single = [&](const QString &sql) { return translation.rewrite(lookup::withIndexProbes(sql)); };
    // The functions the back end's connections answer from what they keep
    // (which articles have varieties, how far a driver is read): a plan needs
    // their names only.
    for (const char *function : {lookup::ArticlesWithVarieties::kFunction, lookup::ArticlesWithVarieties::kMatchFunction,
                                 rdo::kDriverLimitFunction})
        sqlite3_create_function(c.db, function, -1, SQLITE_UTF8, nullptr,
                                [](sqlite3_context *context, int, sqlite3_value **) { sqlite3_result_int(context, 1); },
                                nullptr, nullptr);
    const auto explain = [&](const QString &sql) {
        sqlite3_stmt *stmt = nullptr;
        const QByteArray text = (u"EXPLAIN QUERY PLAN "_qs + sql).toUtf8();
        if (sqlite3_prepare_v2(c.db, text.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            std::printf("    (%s)\n", sqlite3_errmsg(c.db));
            return;
        }
        std::map<int, int> depth;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const int id = sqlite3_column_int(stmt, 0);
            depth[id] = depth[sqlite3_column_int(stmt, 1)] + 1;
            std::printf("    %*s%s\n", 2 * depth[id], "", reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
        }
        sqlite3_finalize(stmt);
    };
    for (size_t k = 0; k < Kinds; ++k) {
        if (c.samples[k].empty())
            continue;
        const Sample &sample = c.samples[k].front();
        c.connection->statements.clear();
        ControlInternals::validarArticulo(*c.control, sample.typed);
        std::printf("\n## %s: «%s»\n", KindNames[k], qPrintable(sample.typed));
        for (const QString &sql : c.connection->statements) {
            if (const auto merged = planner.plan(sql)) {
                std::printf("\nlookup, %zu ordered streams merged:\n", merged->streams.size());
                for (size_t b = 0; b < merged->choices.size(); ++b)
                    std::printf("  branch %zu: %s\n", b + 1, qPrintable(lookup::toString(merged->choices[b])));
                for (const auto &stream : merged->streams) {
                    std::printf("  branch %d\n", stream.branch + 1);
                    const auto driven = [&](const lookup::LookupPlan::Driven &d) {
                        std::printf("    driver:\n");
                        explain(d.driver);
                        std::printf("    an article's rows:\n");
                        explain(d.rows);
                    };
                    if (const auto *sorted = std::get_if<lookup::LookupPlan::Sorted>(&stream.how)) {
                        explain(sorted->sql);
                    } else if (const auto *d = std::get_if<lookup::LookupPlan::Driven>(&stream.how)) {
                        driven(*d);
                    } else {
                        const auto &apart = std::get<lookup::LookupPlan::Apart>(stream.how);
                        std::printf("    candidates:\n");
                        for (const lookup::LookupPlan::CandidateSelect &candidates : apart.candidates)
                            explain(candidates.select);
                        std::printf("    at most %d of them, their rows sorted:\n", merged->mostToSort);
                        explain(apart.sql + u" And ArtID In (1, 2)"_qs + apart.sortedBy);
                        std::printf("    more, by leading name:\n");
                        driven(apart.many);
                    }
                }
            } else {
                std::printf("\n%s\n", qPrintable(sql.left(100)));
                explain(single(sql));
            }
        }
        std::printf("\nbaseline:\n");
        explain(single(baselineStatement(static_cast<Kind>(k), ControlInternals::settings(*c.control), sample)));
    }
}

// Each text of each kind timed alone, the best of three presses; the slowest
// ten of each kind, slowest first.
void printSlowest(int64_t size, Catalogue &c)
{
    for (size_t k = 0; k < Kinds; ++k) {
        std::vector<std::pair<double, QString>> times;
        for (const Sample &sample : c.samples[k]) {
            double best = 1e300;
            for (int press = 0; press < 3; ++press) {
                const auto started = Clock::now();
                ControlInternals::validarArticulo(*c.control, sample.typed);
                best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - started).count());
            }
            times.emplace_back(best, sample.typed);
        }
        std::sort(times.rbegin(), times.rend());
        std::printf("\n%lld articles, %s, slowest of %zu texts:\n", static_cast<long long>(size), KindNames[k],
                    times.size());
        for (size_t i = 0; i < std::min<size_t>(10, times.size()); ++i)
            std::printf("  %8.2f ms  «%s»\n", times[i].first, qPrintable(times[i].second));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchmarkHost host;

    ChoosingToolkit toolkit;
    ui::setToolkit(&toolkit);

    // With --file-state=NAME, only the catalogues in that state (and the
    // indexed one, for the baselines).
    const std::vector<int64_t> sizes = benchmarkSizes();
    std::vector<FileState> states;
    for (const FileState state : {FileState::Indexed, FileState::AsItComes, FileState::PlainText})
        if (state == FileState::Indexed || !app.arguments().filter(u"--file-state="_qs).size() ||
            app.arguments().contains(u"--file-state="_qs + QLatin1String(kFileStateNames[int(state)])))
            states.push_back(state);
    for (const int64_t size : sizes)
        for (const FileState state : states)
            openCatalogue(size, state);
    if (app.arguments().contains(u"--plans"_qs)) {
        printPlans(catalogues.at({sizes.back(), FileState::Indexed}));
    } else if (app.arguments().contains(u"--slowest"_qs)) {
        for (auto &[key, c] : catalogues)
            printSlowest(key.first, c);
    } else {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const FileState state : states)
            for (int64_t kind = 0; kind < Kinds; ++kind)
                pairs.emplace_back(figureName("Lookup", kind, state), figureName("Baseline", kind));
        for (const int64_t size : sizes)
            for (int64_t kind = 0; kind < Kinds; ++kind) {
                const std::string suffix = std::string("/") + KindNames[static_cast<size_t>(kind)];
                // Enough presses for a p99 on the slower lookups.
                for (const FileState state : states)
                    benchmark::RegisterBenchmark(
                        ("BM_Lookup/" + std::string(kFileStateNames[int(state)]) + suffix).c_str(), BM_Lookup)
                        ->Args({size, kind, int64_t(state)})
                        ->Iterations(EnterPresses)
                        ->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark(("BM_Baseline" + suffix).c_str(), BM_Baseline)
                    ->Args({size, kind})
                    ->Iterations(EnterPresses)
                    ->Unit(benchmark::kMicrosecond);
            }
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        printFiguresBesideBaselines(pairs);
    }

    for (auto &[key, c] : catalogues) {
        c.control.reset();
        sqlite3_close(c.db);
    }
    ui::setToolkit(nullptr);
    return 0;
}
