// Loading an article the host knows by identifier (FindArticuloByID), with
// and without a variety, on generated catalogues of 100k articles (and 1M with
// VOK_BENCH_1M=1; see catalogue_cache.h). Beside each, the same article read
// through the same list and loading by a hand-written statement on the primary
// key, and the bare SQLite read of its columns, so that the cost of the
// statement builders, the translation, the joins of the list layout, the item
// list and the control's loading shows against the least the database must do.
// Figures per case: p50 and p99 of single calls.

#include "catalogue.h"

#include "control/vok_t_articulo_p.h"
#include "lookup/query_builder.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/delegating_toolkit.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"

#include "benchmark_host.h"
#include "catalogue_cache.h"
#include "percentiles.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

// The control's private lookup routine, measured without the keyboard around it.
struct ControlInternals {
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

// The headless toolkit, except that the item list takes the first row, as the
// host's list does when a find by identifier yields one.
class ChoosingToolkit final : public ui::DelegatingToolkit {
public:
    // Wraps the thread's headless toolkit; built before it is replaced.
    ChoosingToolkit() : DelegatingToolkit(ui::toolkit()) {}
    ui::ItemChoice showItemList(const ui::ItemListLayout &, ui::RowSource &rows) override
    {
        if (rows.atEnd())
            return std::nullopt;
        return rows.takeRow();
    }
    void processPendingMessages() override {}
};

struct Loadable {
    int32_t article;
    int16_t variety; // 0: none asked for
};

struct Catalogue {
    QString path;
    std::vector<Loadable> plain, withVariety;
    std::unique_ptr<vokTArticulo> control;
    sqlite3 *db = nullptr;
    sqlite3_stmt *byId = nullptr;
};

std::map<int64_t, Catalogue> catalogues;

// The columns the control's find reads, on the primary key: the least a find
// by identifier must cost.
constexpr const char *BareById =
    "Select ArtFoto, ArtPideNroSerie, ArtID, ArtEnUso, ArtEnVenta, ArtEsCombo, ArtValidoMayorQ, ArtCodigo, ArtNombre "
    "From Articulo Where ArtID = ?";

std::vector<Loadable> loadable(sqlite3 *db, const char *sql)
{
    std::vector<Loadable> found;
    sqlite3_stmt *query = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW)
        found.push_back({sqlite3_column_int(query, 0), static_cast<int16_t>(sqlite3_column_int(query, 1))});
    sqlite3_finalize(query);
    return found;
}

void openCatalogue(int64_t articles)
{
    Catalogue &c = catalogues[articles];
    c.path = cachedCatalogue(articles);
    c.db = openBaselineConnection(c.path);
    const char *usable = "ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null";
    c.plain = loadable(c.db, (std::string("Select ArtID, 0 From Articulo Where ArtNoUtilizarGenerico = 0 And ") + usable +
                              " Order By random() Limit 1000").c_str());
    c.withVariety = loadable(c.db, (std::string("Select ArtID, AVaID From Articulo Inner Join ArticuloVariedad On "
                                                "AVaArticulo = ArtID Where ") + usable +
                                    " Order By random() Limit 1000").c_str());
    sqlite3_prepare_v2(c.db, BareById, -1, &c.byId, nullptr);

    c.control = std::make_unique<vokTArticulo>();
    c.control->setConnect(rdo::rdoConnection::open("sqlite:" + c.path));
    c.control->setEmpresa(1);
    c.control->FindArticuloByID(c.plain.front().article); // reads the list layout
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

const std::vector<Loadable> &samples(const Catalogue &c, int64_t variety)
{
    return variety ? c.withVariety : c.plain;
}

const char *kindName(int64_t variety)
{
    return variety ? "/WithVariety" : "/WithoutVariety";
}

void BM_FindArticuloByID(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    const auto &ids = samples(c, state.range(1));
    size_t unloaded = 0;
    timed(state, std::string("FindArticuloByID") + kindName(state.range(1)), [&](size_t i) {
        int16_t variety = ids[i % ids.size()].variety;
        c.control->FindArticuloByID(ids[i % ids.size()].article, variety);
        unloaded += c.control->ID() == 0 ? 1 : 0;
    });
    state.counters["unloaded"] = static_cast<double>(unloaded);
}

// The same article through the same list and loading, by a statement on the
// primary key written by hand (the control's own joins of the list layout).
void BM_Baseline_ById(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    const auto &ids = samples(c, state.range(1));
    const lookup::LookupSettings settings = ControlInternals::settings(*c.control);
    timed(state, std::string("Baseline") + kindName(state.range(1)), [&](size_t i) {
        const Loadable &l = ids[i % ids.size()];
        const QString sql = l.variety ? lookup::ArmarSelectArticulo(settings, false) +
                                            QStringLiteral(" Where ArtID = %1 And AVaID = %2").arg(l.article).arg(l.variety) +
                                            lookup::ArmarFiltros(settings, false)
                                      : lookup::ArmarSelectArticulo(settings, true) +
                                            QStringLiteral(" Where ArtID = %1").arg(l.article) +
                                            lookup::ArmarFiltros(settings, true);
        ControlInternals::mostrarLista(*c.control, sql);
    });
}

void BM_Bare_SqliteById(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    const auto &ids = samples(c, state.range(1));
    timed(state, std::string("Bare") + kindName(state.range(1)), [&](size_t i) {
        sqlite3_bind_int(c.byId, 1, ids[i % ids.size()].article);
        while (sqlite3_step(c.byId) == SQLITE_ROW)
            for (int col = 0; col < sqlite3_column_count(c.byId); ++col)
                benchmark::DoNotOptimize(sqlite3_column_text(c.byId, col));
        sqlite3_reset(c.byId);
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchmarkHost host;

    ChoosingToolkit toolkit;
    ui::setToolkit(&toolkit);

    const std::vector<int64_t> sizes = benchmarkSizes();
    for (const int64_t size : sizes)
        openCatalogue(size);
    for (const int64_t size : sizes)
        for (const int64_t variety : {0, 1}) {
            const std::string suffix = kindName(variety);
            benchmark::RegisterBenchmark(("BM_FindArticuloByID" + suffix).c_str(), BM_FindArticuloByID)
                ->Args({size, variety})
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("BM_Baseline_ById" + suffix).c_str(), BM_Baseline_ById)
                ->Args({size, variety})
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("BM_Bare_SqliteById" + suffix).c_str(), BM_Bare_SqliteById)
                ->Args({size, variety})
                ->Unit(benchmark::kMicrosecond);
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printFiguresBesideBaselines({{"FindArticuloByID/WithoutVariety", "Baseline/WithoutVariety"},
                                 {"FindArticuloByID/WithVariety", "Baseline/WithVariety"}});

    for (auto &[size, c] : catalogues) {
        c.control.reset();
        sqlite3_finalize(c.byId);
        sqlite3_close(c.db);
    }
    ui::setToolkit(nullptr);
    return 0;
}
