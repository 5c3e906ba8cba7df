// The time from a key typed at a person's pace to the suggestions under the
// box painted (the statement of the text, its first eight rows read, the
// popup drawn), on generated catalogues of 100k articles (and 1M with
// VOK_BENCH_1M=1). Beside it, the same key with the suggestions off, to the
// text box painted: what the cashier waits for today. Figures: p50 and p99
// of single keys, in the offscreen window system.

#include "widget/suggestions.h"
#include "widget/vok_articulo_widget.h"

#include "platform/rdo/rdo.h"

#include "benchmark_host.h"
#include "catalogue_cache.h"
#include "percentiles.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Names of the catalogue typed by the cashier: the first four letters, then
// the fifth is the key measured.
std::vector<QString> typedNames(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    std::vector<QString> names;
    sqlite3_prepare_v2(db, "Select ArtNombre From Articulo Where ArtEmpresa = 1 And ArtID % 997 = 1 Limit 64", -1,
                       &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        if (name.size() > 5 && !name.left(5).contains(u' '))
            names.push_back(name);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return names;
}

// Counts the paint events a widget receives.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget *watched) { watched->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

struct Till {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    vokArticuloWidget *articulo = nullptr;
    QLineEdit *box = nullptr;
    std::vector<QString> names;
};

Till &till(int64_t articles)
{
    static std::map<int64_t, Till> tills;
    Till &t = tills[articles];
    if (t.articulo)
        return t;
    const QString path = cachedCatalogue(articles);
    t.names = typedNames(path);
    t.form->resize(500, 300);
    t.articulo = new vokArticuloWidget(t.form.get());
    t.articulo->setGeometry(10, 10, 300, 22);
    t.articulo->control().setConnect(rdo::rdoConnection::open("sqlite:" + path));
    t.articulo->setEmpresa(1);
    t.articulo->setFormatoLista(2); // code, name, price and stock
    t.box = t.articulo->findChild<QLineEdit *>();
    t.form->show();
    t.form->activateWindow();
    (void)QTest::qWaitForWindowActive(t.form.get());
    t.box->setFocus();
    return t;
}

// One key at a person's pace after the first four letters of a name, timed
// to the paint of what shows it: the popup with the suggestions on, the
// text box with them off.
void BM_KeyToPainted(benchmark::State &state, bool suggestions)
{
    const int64_t articles = state.range(0);
    Till &t = till(articles);
    t.articulo->setSugerencias(suggestions);
    QWidget *shown = suggestions ? static_cast<QWidget *>(t.articulo->findChild<vokwidget::SuggestionPopup *>())
                                 : static_cast<QWidget *>(t.box);
    PaintWatch watch(shown);
    std::vector<double> micros;
    std::vector<std::pair<double, QString>> slowest; // the texts behind the p99
    size_t next = 0;
    int unshown = 0;
    for (auto _ : state) {
        const QString &name = t.names[next++ % t.names.size()];
        t.box->clear();
        QTest::keyClicks(t.box, name.left(4));
        QTest::qWait(vokwidget::Suggestions::QuietMs + 10); // the popup shows, the keyboard quiet
        QCoreApplication::processEvents();
        const int before = watch.paints;
        const auto started = Clock::now();
        QTest::keyClick(t.box, name.at(4).toLatin1());
        QElapsedTimer limit;
        limit.start();
        while (watch.paints == before && limit.elapsed() < 1000)
            QCoreApplication::processEvents();
        const double elapsed = std::chrono::duration<double, std::micro>(Clock::now() - started).count();
        unshown += watch.paints == before;
        state.SetIterationTime(elapsed / 1e6);
        micros.push_back(elapsed);
        slowest.emplace_back(elapsed, name.left(5));
    }
    std::sort(slowest.rbegin(), slowest.rend());
    for (size_t i = 0; i < std::min<size_t>(3, slowest.size()); ++i)
        std::fprintf(stderr, "  slow: \"%s\" %.1f ms\n", qPrintable(slowest[i].second), slowest[i].first / 1000);
    state.counters["unshown"] = unshown;
    reportPercentiles(state, micros, suggestions ? "suggestions painted" : "text box painted (off)", articles);
    t.articulo->setSugerencias(false);
}

} // namespace

int main(int argc, char **argv)
{
    // The offscreen window system says at every show that it cannot raise a window.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && !message.contains(QLatin1String("does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchmarkHost host;
    for (const int64_t size : benchmarkSizes()) {
        benchmark::RegisterBenchmark("BM_KeyToPainted/off", BM_KeyToPainted, false)
            ->Arg(size)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_KeyToPainted/suggestions", BM_KeyToPainted, true)
            ->Arg(size)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printFiguresBesideBaselines({{"suggestions painted", "text box painted (off)"}});
    benchmark::Shutdown();
    return 0;
}
