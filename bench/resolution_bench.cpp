// What a cashier waits for after Enter: the typed text resolved into a loaded
// article, for each kind of text (exact code, code prefix, two name words,
// scale label, plain EAN-13), on generated catalogues of 10k and 100k
// articles. Beside each, a hand-written query on the catalogue's indexes that
// returns the articles the same text names, so that the cost of the control's
// statement (its unions, the T-SQL translation), the item list and the loading
// shows against the least the database must do. Figures: p50 and p99 of
// single Enter presses; the text is typed again, untimed, before each one.

#include "catalogue.h"

#include "control/enumerations.h"
#include "control/vok_t_articulo.h"
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
#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t Samples = 100;
constexpr benchmark::IterationCount EnterPresses = 40;

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

enum Kind { ExactCode, CodePrefix, NameWords, ScaleLabel, Ean13, Kinds };
constexpr std::array<const char *, Kinds> KindNames{"ExactCode", "CodePrefix", "TwoNameWords", "ScaleLabel", "Ean13"};

// The same articles through the indexes: a code range, a name range narrowed
// by the pattern, a bar code looked up by each prefix a scale pattern can have,
// a bar code by equality.
constexpr std::array<const char *, Kinds> Baselines{
    "Select ArtID, ArtCodigo, ArtNombre, ArtFoto, ArtEnUso, ArtEnVenta From Articulo Where ArtCodigo >= ?1 And "
    "ArtCodigo < ?1 || char(255) And ArtEmpresa = 1",
    "Select ArtID, ArtCodigo, ArtNombre, ArtFoto, ArtEnUso, ArtEnVenta From Articulo Where ArtCodigo >= ?1 And "
    "ArtCodigo < ?1 || char(255) And ArtEmpresa = 1",
    "Select ArtID, ArtCodigo, ArtNombre, ArtFoto, ArtEnUso, ArtEnVenta From Articulo Where ArtNombre >= ?2 And "
    "ArtNombre < ?2 || char(255) And ArtNombre Like ?1 || '%' And ArtEmpresa = 1",
    "Select ArtID, ArtCodigo, ArtNombre, ACBCodigo, ACBCantidad From ArticuloCodigoBarras Inner Join Articulo On "
    "ArtID = ACBArticulo Where ACBCodigo In (substr(?1, 1, 2) || '%', substr(?1, 1, 3) || '%', substr(?1, 1, 4) || "
    "'%', substr(?1, 1, 5) || '%', substr(?1, 1, 6) || '%', substr(?1, 1, 7) || '%', substr(?1, 1, 8) || '%', "
    "substr(?1, 1, 9) || '%', substr(?1, 1, 10) || '%', substr(?1, 1, 11) || '%', substr(?1, 1, 12) || '%') And "
    "ACBLargo = 13 And ArtEmpresa = 1",
    "Select ArtID, ArtCodigo, ArtNombre, ACBCodigo, ACBCantidad From ArticuloCodigoBarras Inner Join Articulo On "
    "ArtID = ACBArticulo Where ACBCodigo = ?1 And ArtEmpresa = 1",
};

struct Sample {
    QString typed;
    std::string first;  // ?1 of the baseline
    std::string second; // ?2 of the baseline
};

struct Catalogue {
    std::string path;
    std::array<std::vector<Sample>, Kinds> samples;
    std::unique_ptr<vokTArticulo> control;
    sqlite3 *db = nullptr;
    std::array<sqlite3_stmt *, Kinds> baselines{};
};

std::map<int64_t, Catalogue> catalogues;

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
            c.samples[ExactCode].push_back({QString::fromStdString(codes[i][0]), codes[i][0], {}});
    for (size_t i = 0; i + 1 < codes.size() && c.samples[CodePrefix].size() < Samples; i += step) {
        const std::string prefix = codes[i][0].substr(0, codes[i][0].size() - 1);
        if (codes[i + 1][0].rfind(prefix, 0) == 0)
            c.samples[CodePrefix].push_back({QString::fromStdString(prefix), prefix, {}});
    }
    for (size_t i = 0; i < codes.size() && c.samples[NameWords].size() < Samples; i += step) {
        const QStringList words = QString::fromStdString(codes[i][1]).split(u' ', Qt::SkipEmptyParts);
        if (words.size() < 2 || words[1].size() < 3)
            continue;
        const QString typed = words[0] + u' ' + words[1].left(3);
        c.samples[NameWords].push_back({typed, (words[0] + u'%' + words[1].left(3)).toStdString(), words[0].toStdString()});
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
            c.samples[ScaleLabel].push_back({QString::fromStdString(scanned), scanned, {}});
        } else if (code.size() == 13 && code.find('%') == std::string::npos && c.samples[Ean13].size() < Samples) {
            c.samples[Ean13].push_back({QString::fromStdString(code), code, {}});
        }
    }
}

void openCatalogue(int64_t articles, const QString &folder)
{
    Catalogue &c = catalogues[articles];
    c.path = (folder + QStringLiteral("/catalogue-%1.db").arg(articles)).toStdString();
    vok::catalogue::Options options;
    options.articles = static_cast<uint32_t>(articles);
    options.seed = 7;
    options.output = c.path;
    vok::catalogue::generate(options);
    sqlite3_open_v2(c.path.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr);
    chooseSamples(c);
    for (size_t k = 0; k < Kinds; ++k) {
        sqlite3_prepare_v2(c.db, Baselines[k], -1, &c.baselines[k], nullptr);
        std::fprintf(stderr, "%lld articles, %s: %zu texts\n", static_cast<long long>(articles), KindNames[k],
                     c.samples[k].size());
    }

    c.control = std::make_unique<vokTArticulo>();
    c.control->setConnect(rdo::rdoConnection::open("sqlite:" + QString::fromStdString(c.path)));
    c.control->setEmpresa(1);
    c.control->setFormatDisplay(afd_CodigoNombre);
}

template <typename Prepare, typename Call>
void timed(benchmark::State &state, Prepare &&prepare, Call &&call)
{
    std::vector<double> micros;
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(i);
        state.ResumeTiming();
        const auto started = Clock::now();
        call(i);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - started).count());
        ++i;
    }
    reportPercentiles(state, std::move(micros));
}

void BM_Enter(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    const auto &samples = c.samples[static_cast<size_t>(state.range(1))];
    if (samples.empty()) {
        state.SkipWithError("no text of this kind in the catalogue");
        return;
    }
    auto &text = static_cast<ui::HeadlessTextBox &>(c.control->tArticulo());
    size_t unloaded = 0;
    timed(
        state,
        [&](size_t i) {
            text.setText(QString());
            text.setFocus();
            text.setText(samples[i % samples.size()].typed);
        },
        [&](size_t) {
            text.type(QStringLiteral("\r"));
            if (c.control->ID() == 0)
                ++unloaded;
        });
    state.counters["unloaded"] = static_cast<double>(unloaded);
}

void BM_Baseline_Indexed(benchmark::State &state)
{
    Catalogue &c = catalogues.at(state.range(0));
    const size_t kind = static_cast<size_t>(state.range(1));
    const auto &samples = c.samples[kind];
    if (samples.empty()) {
        state.SkipWithError("no text of this kind in the catalogue");
        return;
    }
    sqlite3_stmt *query = c.baselines[kind];
    timed(
        state, [](size_t) {},
        [&](size_t i) {
            const Sample &s = samples[i % samples.size()];
            sqlite3_bind_text(query, 1, s.first.c_str(), -1, SQLITE_STATIC);
            if (!s.second.empty())
                sqlite3_bind_text(query, 2, s.second.c_str(), -1, SQLITE_STATIC);
            while (sqlite3_step(query) == SQLITE_ROW)
                for (int col = 0; col < sqlite3_column_count(query); ++col)
                    benchmark::DoNotOptimize(sqlite3_column_text(query, col));
            sqlite3_reset(query);
        });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchmarkHost host;

    ChoosingToolkit toolkit;
    ui::setToolkit(&toolkit);

    const std::vector<int64_t> sizes{10000, 100000};
    for (const int64_t size : sizes)
        openCatalogue(size, host.folder());
    for (const int64_t size : sizes)
        for (int64_t kind = 0; kind < Kinds; ++kind) {
            const std::string suffix = std::string("/") + KindNames[static_cast<size_t>(kind)];
            // A lookup on 100k articles takes long enough that the time-based
            // default would measure it once: enough presses for a p99.
            benchmark::RegisterBenchmark(("BM_Enter" + suffix).c_str(), BM_Enter)
                ->Args({size, kind})
                ->Iterations(EnterPresses)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("BM_Baseline_Indexed" + suffix).c_str(), BM_Baseline_Indexed)
                ->Args({size, kind})
                ->Unit(benchmark::kMicrosecond);
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (auto &[size, c] : catalogues) {
        c.control.reset();
        for (sqlite3_stmt *query : c.baselines)
            sqlite3_finalize(query);
        sqlite3_close(c.db);
    }
    ui::setToolkit(nullptr);
    return 0;
}
