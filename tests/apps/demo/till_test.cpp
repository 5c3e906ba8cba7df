// The demo's sales form at a till: keys sent as X key events by xdotool at a
// keyboard's or a scanner's pace, under xvfb-run with a window manager.

#include "sales_form.h"

#include "catalogue_files.h"
#include "faulty_connection.h"
#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/qt/qt_item_list_dialog.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/vb/conversions.h"
#include "named_rows.h"
#include "qt_printers.h"
#include "scoped_env.h"
#include "widget/vok_articulo_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using vok::test::PrintTo;

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()> &done, int ms = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// The articles the rows use, found in the catalogue by what they are.
struct Articles {
    QString line, words, firstRow, barCode, scanned, notForSale, notInUse, badLabel;
};

// Keys at a pace ("\n" is Enter, $NAME an article), a wait for a window, or a
// picture of the screen.
struct Step {
    enum Kind { Keys, ListOpen, InQuantity, Shot } kind;
    QString text;
    int gapMs = 2;
};

struct TillCase {
    const char *name;
    std::chrono::milliseconds slowness;
    std::vector<Step> steps;
    QStringList lines; // "code quantity" each
    QString held;      // the code the control holds at the end ("" for none, "*" for any)
    QString status = {};
};

class Till : public ::testing::TestWithParam<TillCase> {
protected:
    static void SetUpTestSuite()
    {
        if (!QStandardPaths::findExecutable("openbox").isEmpty()) {
            windowManager = std::make_unique<QProcess>();
            windowManager->start("openbox", {});
            windowManager->waitForStarted();
            QTest::qWait(500);
        }
    }
    static void TearDownTestSuite()
    {
        if (windowManager)
            windowManager->terminate(), windowManager->waitForFinished(3000);
        windowManager.reset();
    }

    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "runs on a real X server";
        ASSERT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty()) << "scripts/bootstrap installs xdotool";
        ASSERT_EQ(com::registerServer(vok::test::buildLibraryDir() + "/libvokhost.so"), com::S_OK);
        real = rdo::rdoConnection::open("sqlite:" + QString::fromStdString(vok::test::generatedCatalogue(7).string()));
        articles = findArticles();
        connection = std::make_shared<vok::test::FaultyConnection>(real);
        form = std::make_unique<demo::SalesForm>(connection, std::vector<demo::ScaleRule>{{"2", demo::ScaleValue::Weight, 5}});
        vokArticuloWidget &articulo = form->articulo();
        articulo.setEmpresa(1), articulo.setListaPrecios(0), articulo.setEnUsoObligatorio(1);
        articulo.setEnVentaObligatorio(1), articulo.setFormatoLista(3);
        articulo.control().setConnect(connection);
        form->resize(760, 480);
        form->move(40, 40);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(waitUntil([&] {
            if (!form->isActiveWindow())
                form->activateWindow();
            return form->isActiveWindow();
        }));
        form->articulo().setFocus();
        ASSERT_TRUE(waitUntil([&] { return form->articulo().isAncestorOf(QApplication::focusWidget()); }));
    }
    QString first(const QString &sql)
    {
        const auto rows = real->OpenResultset(sql);
        const QString value = rows->Eof() ? QString() : vb::CStr(rows->rdoColumns().Item(0).Value());
        rows->Close();
        return value;
    }

    Articles findArticles()
    {
        const QString sellable = "ArtEmpresa = 1 And ArtEnUso = 1 And ArtEnVenta = 1 And ArtNoUtilizarGenerico = 0 ";
        const QString priced = "Exists (Select 1 From PrecioVigente Where PViArticulo = ArtID And PViVariedad = 0 "
                               "And PViTipoPrecio = 1 And PViCantidad = 1 And PViHabilitado = 1) ";
        const QString alone = "Not Exists (Select 1 From ArticuloVariedad Where AVaArticulo = ArtID) ";
        Articles found;
        found.line = first("Select Top 1 ArtCodigo From Articulo a Where " + sellable + "And " + priced + "And " +
                           alone + "And ArtCodigo Like '1000__' And Not Exists (Select 1 From Articulo b Where "
                           "b.ArtCodigo Like a.ArtCodigo + '_%') Order By ArtID");
        if (first("Select Count(*) From Articulo Where " + sellable + "And ArtNombre Like 'QUESO COL%'").toInt() > 1)
            found.words = "queso col";
        found.barCode = first("Select Top 1 ACBCodigo From ArticuloCodigoBarras Inner Join Articulo On ArtID = "
                              "ACBArticulo Where " + sellable + "And " + priced + "And " + alone +
                              "And ACBCodigo Like '7____________' And ACBCodigo Not Like '%[%]%' Order By ArtID");
        found.notForSale = first("Select Top 1 ArtCodigo From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And "
                                 "ArtEnVenta = 0 Order By ArtID");
        found.notInUse = first("Select Top 1 ArtCodigo From Articulo Where ArtEmpresa = 1 And ArtEnUso = 0 Order By ArtID");
        // A label for 1.250 kg, its check digit off by one.
        const QString pattern = first("Select Top 1 ACBCodigo From ArticuloCodigoBarras Inner Join Articulo On ArtID = "
                                      "ACBArticulo Where " + sellable + "And ACBCodigo Like '2_____[%]' Order By ArtID");
        const QString twelve = pattern.chopped(1) + "001250";
        found.badLabel = twelve + QString::number((vok::catalogue::ean13CheckDigit(twelve.toStdString()) + 1) % 10);
        found.scanned = first("Select ArtCodigo From Articulo Inner Join ArticuloCodigoBarras On ArtID = ACBArticulo "
                              "Where ACBCodigo = '" + found.barCode + "'");
        return found;
    }

    QString expand(QString text) const
    {
        return text.replace("$LINE", articles.line).replace("$WORDS", articles.words).replace("$SCAN", articles.barCode)
            .replace("$NOTFORSALE", articles.notForSale).replace("$NOTINUSE", articles.notInUse)
            .replace("$BADLABEL", articles.badLabel);
    }

    // X key events, gapMs apart, to the window with the focus.
    static std::unique_ptr<QProcess> type(const QString &text, int gapMs)
    {
        QStringList keys{"key", "--delay", QString::number(gapMs)};
        for (const QChar c : text)
            keys << (c == u'\n'     ? QStringLiteral("Return")
                     : c == u'\x1b' ? QStringLiteral("Escape")
                     : c == u' '     ? QStringLiteral("space")
                                     : QString(c.toLower()));
        auto xdotool = std::make_unique<QProcess>();
        xdotool->start("xdotool", keys);
        return xdotool;
    }

    static void shot(const QString &name)
    {
        const QString into = qEnvironmentVariable("VOK_TEST_SHOTS");
        if (!into.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(into).filePath(name + ".png"));
    }

    // From a timer, which also runs inside the list's own event loop.
    QString play(const std::vector<Step> &steps)
    {
        QString failure;
        size_t next = 0;
        std::unique_ptr<QProcess> xdotool;
        QElapsedTimer sinceStep;
        sinceStep.start();
        QTimer driver;
        const auto advance = [&] {
            ++next;
            sinceStep.restart();
        };
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (xdotool && xdotool->state() != QProcess::NotRunning)
                return;
            if (xdotool && xdotool->exitCode() != 0)
                failure = "xdotool: " + xdotool->readAllStandardError();
            xdotool.reset();
            if (next == steps.size() || !failure.isEmpty())
                return driver.stop();
            const Step &step = steps[next];
            const bool late = sinceStep.elapsed() > 15000;
            switch (step.kind) {
            case Step::Keys:
                xdotool = type(expand(step.text), step.gapMs);
                return advance();
            case Step::ListOpen:
                if (auto *list = dynamic_cast<ui::ItemListDialog *>(openList()); list && list->isActiveWindow()) {
                    articles.firstRow = vb::CStr(list->model()->row(0).at(13));
                    return advance();
                }
                if (late)
                    failure = "the list never opened";
                return;
            case Step::InQuantity:
                if (form->cantidad().hasFocus())
                    return advance();
                if (late)
                    failure = "the quantity never took the focus";
                return;
            case Step::Shot: // once the window manager and the painting settle
                if (sinceStep.elapsed() < 400)
                    return;
                shot(step.text);
                return advance();
            }
        });
        driver.start(10);
        if (!waitUntil([&] { return !driver.isActive(); }, 60000))
            return "the steps did not finish";
        return failure;
    }

    QStringList lines() const
    {
        QStringList made;
        const QTableWidget &grid = form->lineas();
        for (int row = 0; row < grid.rowCount(); ++row)
            made << grid.item(row, 0)->text() + ' ' + grid.item(row, 2)->text();
        return made;
    }

    QWidget *openList() const { return static_cast<ui::QtToolkit &>(ui::toolkit()).openItemList(); }

    static inline std::unique_ptr<QProcess> windowManager;
    std::shared_ptr<rdo::rdoConnection> real;
    std::shared_ptr<vok::test::FaultyConnection> connection;
    std::unique_ptr<demo::SalesForm> form;
    Articles articles;
};

TEST_P(Till, EveryKeyReachesItsField)
{
    const TillCase &c = GetParam();
    ASSERT_FALSE(articles.line.isEmpty() || articles.words.isEmpty() || articles.barCode.size() != 13 ||
                 articles.scanned.isEmpty())
        << "the catalogue has the articles the rows need";
    connection->slowDown(c.slowness);
    const QString failure = play(c.steps);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    const auto heldOk = [&] {
        return c.held == "*" || form->articulo().Codigo() == (c.held == "$SCANNED" ? articles.scanned : expand(c.held));
    };
    QStringList expected;
    for (const QString &line : c.lines)
        expected << expand(line);
    const QString status = expand(c.status);
    waitUntil([&] {
        return !openList() && lines() == expected && heldOk() && form->status() == status;
    });
    EXPECT_EQ(lines(), expected); // once the expected state is reached, or after a generous wait
    EXPECT_TRUE(heldOk()) << "holds " << form->articulo().Codigo().toStdString() << ", expected " << c.held.toStdString();
    EXPECT_EQ(form->status(), status);
    if (!articles.firstRow.isEmpty() && articles.firstRow != articles.scanned) {
        EXPECT_NE(form->articulo().Codigo(), articles.firstRow) << "the highlighted row was not sold";
    }
    EXPECT_FALSE(form->cantidad().text().contains(articles.barCode)) << "a scan is no quantity";
}

INSTANTIATE_TEST_SUITE_P(
    Cashier, Till,
    ::testing::Values(
        TillCase{"FastLineOnAQuickFile", 0ms, {{Step::Keys, "$LINE\n3\n\n"}}, {"$LINE 3"}, ""},
        TillCase{"FastLineOnASlowFile", 500ms, {{Step::Keys, "$LINE\n3\n\n"}}, {"$LINE 3"}, ""},
        TillCase{"ScanIntoTheOpenList",
                 0ms,
                 {{Step::Keys, "$LINE\n3\n\n$WORDS\n", 20},
                  {Step::ListOpen, {}},
                  {Step::Shot, "list-under-the-field"},
                  {Step::Keys, "$SCAN\n", 4}},
                 {"$LINE 3"},
                 "$SCANNED"},
        TillCase{"LongVarietyNames",
                 0ms,
                 {{Step::Keys, "medias term\n", 20}, {Step::ListOpen, {}}, {Step::Shot, "long-variety-names"}, {Step::Keys, "\x1b"}},
                 {},
                 ""},
        TillCase{"ScanIntoTheQuantity",
                 0ms,
                 {{Step::Keys, "$LINE\n", 20}, {Step::InQuantity, {}}, {Step::Keys, "$SCAN\n", 4}},
                 {},
                 "$SCANNED"},
        TillCase{"UnknownCode", 0ms, {{Step::Keys, "999999\n"}, {Step::Shot, "status-unknown"}}, {}, "", "999999 no existe"},
        TillCase{"NotForSale", 0ms, {{Step::Keys, "$NOTFORSALE\n"}, {Step::Shot, "status-not-for-sale"}}, {}, "",
                 "$NOTFORSALE no está a la venta"},
        TillCase{"NotInUse", 0ms, {{Step::Keys, "$NOTINUSE\n"}, {Step::Shot, "status-not-in-use"}}, {}, "",
                 "$NOTINUSE no está en uso"},
        TillCase{"ScaleLabelWithAWrongCheckDigit", 0ms, {{Step::Keys, "$BADLABEL\n"}, {Step::Shot, "status-bad-label"}}, {},
                 "*", "Etiqueta de balanza inválida: $BADLABEL"}),
    vok::test::byName);

} // namespace
