// The two lookups a cashier waits for: loading an article the host knows by
// identifier, and opening the candidate list on every article. Each runs on
// generated catalogues of 10k and 100k articles (1M with VOK_BENCH_1M=1)
// beside a hand-written query on the primary key for the same rows, so that
// the cost of the statement builders, the T-SQL translation, the joins of the
// list layout, the item list and the control's loading shows against the
// least the database must do. Figures per case: p50 and p99 of single calls.

#include "catalogue.h"

#include "control/vok_t_articulo.h"
#include "lookup/query_builder.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/delegating_toolkit.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"

#include "benchmark_host.h"
#include "percentiles.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

// The control's private lookup routine, reached as the tests reach it.
struct vokTArticuloTestAccess {
    static void mostrarLista(vokTArticulo &control, const QString &sql) { control.MostrarLista(sql); }
};

namespace {

using Clock = std::chrono::steady_clock;

// The headless toolkit, except that the item list reads the first screenful
// of rows and is closed, as a user who looks and cancels, and keeps no record.
class CancellingToolkit final : public ui::DelegatingToolkit {
public:
    static constexpr int Screenful = 20;
    // Wraps the thread's headless toolkit; built before it is replaced.
    CancellingToolkit() : DelegatingToolkit(ui::toolkit()) {}
    ui::ItemChoice showItemList(const ui::ItemListLayout &, ui::RowSource &rows) override
    {
        for (int i = 0; i < Screenful && !rows.atEnd(); ++i)
            benchmark::DoNotOptimize(rows.takeRow());
        return std::nullopt;
    }
    void processPendingMessages() override {}
};

struct Catalogue {
    std::string path;
    std::vector<int32_t> loadable; // articles a find by identifier loads
    std::unique_ptr<vokTArticulo> control;
    sqlite3 *db = nullptr;
    sqlite3_stmt *byId = nullptr;
};

std::map<int64_t, Catalogue> catalogues;

// The columns the control's find reads, on the primary key: the least a find
// by identifier must cost.
constexpr const char *BaselineById =
    "Select ArtFoto, ArtPideNroSerie, ArtID, ArtEnUso, ArtEnVenta, ArtEsCombo, ArtValidoMayorQ, ArtCodigo, ArtNombre "
    "From Articulo Where ArtID = ?";

void openCatalogue(int64_t articles, const QString &folder)
{
    Catalogue &c = catalogues[articles];
    c.path = (folder + QStringLiteral("/catalogue-%1.db").arg(articles)).toStdString();
    vok::catalogue::Options options;
    options.articles = static_cast<uint32_t>(articles);
    options.seed = 7;
    options.output = c.path;
    const auto started = Clock::now();
    vok::catalogue::generate(options);
    std::fprintf(stderr, "catalogue of %lld articles generated in %.1f s\n", static_cast<long long>(articles),
                 std::chrono::duration<double>(Clock::now() - started).count());

    sqlite3_open_v2(c.path.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *query = nullptr;
    sqlite3_prepare_v2(c.db,
                       "Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null "
                       "And ArtNoUtilizarGenerico = 0",
                       -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW)
        c.loadable.push_back(sqlite3_column_int(query, 0));
    sqlite3_finalize(query);
    sqlite3_prepare_v2(c.db, BaselineById, -1, &c.byId, nullptr);

    c.control = std::make_unique<vokTArticulo>();
    try {
        c.control->setConnect(rdo::rdoConnection::open("sqlite:" + QString::fromStdString(c.path)));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "connect: %s\n", e.what());
    }
    c.control->setEmpresa(1);
}

// Runs one call per iteration and reports its median and 99th percentile.
template <typename Call>
void timed(benchmark::State &state, Call &&call)
{
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(state.max_iterations));
    for (auto _ : state) {
        const auto started = Clock::now();
        call();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - started).count());
    }
    reportPercentiles(state, std::move(micros));
}

void readBaselineRow(sqlite3_stmt *statement, int32_t id)
{
    sqlite3_bind_int(statement, 1, id);
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, i));
    sqlite3_reset(statement);
}

void BM_FindArticuloByID(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    std::mt19937 random(11);
    std::uniform_int_distribution<size_t> pick(0, c.loadable.size() - 1);
    timed(state, [&] { c.control->FindArticuloByID(c.loadable[pick(random)]); });
    if (c.control->ID() == 0)
        state.SkipWithError("the find loaded nothing");
}

void BM_Baseline_SqliteById(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    std::mt19937 random(11);
    std::uniform_int_distribution<size_t> pick(0, c.loadable.size() - 1);
    timed(state, [&] { readBaselineRow(c.byId, c.loadable[pick(random)]); });
}

void BM_Baseline_RdoById(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    std::mt19937 random(11);
    std::uniform_int_distribution<size_t> pick(0, c.loadable.size() - 1);
    const QString sql = QString::fromLatin1(BaselineById).replace(u'?', QStringLiteral("%1"));
    timed(state, [&] {
        const auto rows = c.control->connection()->OpenResultset(sql.arg(c.loadable[pick(random)]));
        benchmark::DoNotOptimize(rows->rdoColumns().Item(8).Value());
        rows->Close();
    });
}

void BM_OpenListOfAllArticles(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    lookup::LookupSettings settings;
    settings.FormatoLista = c.control->FormatoLista() == 255 ? 3 : c.control->FormatoLista();
    settings.Empresa = 1;
    c.control->setFormatoLista(settings.FormatoLista);
    const QString sql = lookup::ArmarSelectArticulo(settings, true);
    timed(state, [&] { vokTArticuloTestAccess::mostrarLista(*c.control, sql); });
}

// The same twenty rows the list shows, one primary-key read each.
void BM_Baseline_First20ById(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    timed(state, [&] {
        for (int32_t id = 1; id <= CancellingToolkit::Screenful; ++id)
            readBaselineRow(c.byId, id);
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchmarkHost host;

    CancellingToolkit toolkit;
    ui::setToolkit(&toolkit);

    std::vector<int64_t> sizes{10000, 100000};
    if (qEnvironmentVariable("VOK_BENCH_1M") == "1")
        sizes.push_back(1000000);
    for (const int64_t size : sizes)
        openCatalogue(size, host.folder());

    for (const int64_t size : sizes) {
        benchmark::RegisterBenchmark("BM_FindArticuloByID", BM_FindArticuloByID)->Arg(size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_Baseline_SqliteById", BM_Baseline_SqliteById)->Arg(size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_Baseline_RdoById", BM_Baseline_RdoById)->Arg(size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_OpenListOfAllArticles", BM_OpenListOfAllArticles)
            ->Arg(size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_Baseline_First20ById", BM_Baseline_First20ById)
            ->Arg(size)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (auto &[size, c] : catalogues) {
        c.control.reset();
        sqlite3_finalize(c.byId);
        sqlite3_close(c.db);
    }
    ui::setToolkit(nullptr);
    return 0;
}
