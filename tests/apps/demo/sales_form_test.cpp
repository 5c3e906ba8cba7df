// The demo's sales form driven from the keyboard, offscreen, on a generated
// catalogue: what a cashier does at the till.

#include "demo_environment.h"
#include "key_script.h"
#include "sales_form.h"

#include "catalogue_files.h"
#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/qt/qt_item_list_dialog.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/vb/conversions.h"
#include "scoped_env.h"
#include "widget/vok_articulo_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

class SalesFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(com::registerServer(vok::test::buildLibraryDir() + "/libvokhost.so"), com::S_OK);
        connection = rdo::rdoConnection::open(
            "sqlite:" + QString::fromStdString(vok::test::generatedCatalogue(7).string()));
        form = std::make_unique<demo::SalesForm>(connection, std::vector<demo::ScaleRule>{{"2", demo::ScaleValue::Weight, 5}});
        form->articulo().setEmpresa(1);
        form->articulo().setFormatDisplay(4);
        form->articulo().control().setConnect(connection);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->articulo().setFocus();
    }

    // The first row of a query on the shop database, as text.
    QStringList firstRow(const QString &sql)
    {
        const auto rows = connection->OpenResultset(sql);
        QStringList values;
        for (int i = 0; !rows->Eof() && i < rows->rdoColumns().Count(); ++i)
            values << vb::CStr(rows->rdoColumns().Item(i).Value());
        rows->Close();
        return values;
    }

    // Types into the control and presses Enter; when the item list opens, the
    // row showing code is chosen.
    void enterArticle(const QString &typed, const QString &code)
    {
        QTimer::singleShot(0, [code] {
            auto *list = dynamic_cast<ui::ItemListDialog *>(static_cast<ui::QtToolkit &>(ui::toolkit()).openItemList());
            if (!list)
                return;
            ui::ItemListModel &rows = *list->model();
            for (int row = 0; row < rows.rowCount(); ++row)
                for (int column = 0; column < rows.columnCount(); ++column)
                    if (rows.data(rows.index(row, column), Qt::DisplayRole).toString() == code) {
                        list->view()->setCurrentIndex(rows.index(row, column));
                        QTest::keyClick(list->view(), Qt::Key_Return);
                        return;
                    }
            list->reject();
        });
        QWidget *box = QApplication::focusWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(form->cantidad().hasFocus(), 5000);
    }

    // Enter on the quantity and on the price (typed when the shop has none):
    // the line goes in.
    void confirmLine()
    {
        QTest::keyClick(&form->cantidad(), Qt::Key_Return);
        if (form->precio().text().isEmpty())
            QTest::keyClicks(&form->precio(), "10");
        QTest::keyClick(&form->precio(), Qt::Key_Return);
    }

    QString cell(int row, int column) { return form->lineas().item(row, column)->text(); }

    std::shared_ptr<rdo::rdoConnection> connection;
    std::unique_ptr<demo::SalesForm> form;
};

TEST_F(SalesFormTest, AScaleLabelFillsTheQuantityFromItsVariablePart)
{
    const QStringList label = firstRow(
        "Select Top 1 ACBCodigo, ArtCodigo From ArticuloCodigoBarras Inner Join Articulo On ArtID = ACBArticulo "
        "Where ACBCodigo Like '2%[%]' And ArtEmpresa = 1 And ArtNoUtilizarGenerico = 0 And ArtFoto Is Not Null "
        "Order By ArtID");
    ASSERT_EQ(label.size(), 2) << "the catalogue has scale articles";
    // Pattern 2IIIII% with a label for 1.250 kg: 2IIIII 0 01250 and the check digit.
    QString scanned = label[0].chopped(1) + "001250";
    scanned += QString::number(vok::catalogue::ean13CheckDigit(scanned.toStdString()));

    enterArticle(scanned, label[1]);
    EXPECT_EQ(form->articulo().Codigo(), label[1]);
    EXPECT_EQ(form->articulo().CBVariable(), scanned.right(7));
    EXPECT_EQ(form->cantidad().text(), "1.250");
    confirmLine();

    ASSERT_EQ(form->lineas().rowCount(), 1);
    EXPECT_EQ(cell(0, 0), label[1]);
    EXPECT_EQ(cell(0, 2), "1.250");
    EXPECT_TRUE(form->articulo().hasFocus() || form->articulo().isAncestorOf(QApplication::focusWidget()))
        << "the next line starts on the control";
    EXPECT_EQ(form->articulo().ID(), 0);
}

TEST_F(SalesFormTest, TwoWordsOfANameAndAChoiceInTheListMakeALineAtTheListPrice)
{
    const QStringList article = firstRow(
        "Select Top 1 ArtCodigo, ArtNombre, PViPrecio From Articulo Inner Join PrecioVigente On PViArticulo = ArtID "
        "And PViVariedad = 0 And PViTipoPrecio = 1 And PViCantidad = 1 And PViHabilitado = 1 "
        "Where ArtEmpresa = 1 And ArtNoUtilizarGenerico = 0 And ArtFoto Is Not Null And ArtNombre Like '% % %' "
        "And Not Exists (Select 1 From ArticuloVariedad Where AVaArticulo = ArtID) Order By ArtID");
    ASSERT_EQ(article.size(), 3);
    const QStringList words = article[1].split(' ');

    enterArticle(words[0] + ' ' + words[1], article[0]);
    EXPECT_EQ(form->articulo().Codigo(), article[0]);
    EXPECT_EQ(form->cantidad().text(), QLocale().toString(1.0, 'f', form->articulo().Decimales()))
        << "one unit, in the unit's precision";
    EXPECT_EQ(form->precio().text(), QLocale().toString(vb::CDbl(vb::Variant(article[2])), 'f', 2));
    confirmLine();

    ASSERT_EQ(form->lineas().rowCount(), 1);
    EXPECT_EQ(cell(0, 0), article[0]);
    EXPECT_TRUE(cell(0, 1).startsWith(words[0])) << qPrintable(cell(0, 1));
    EXPECT_EQ(cell(0, 4), cell(0, 3)) << "one unit at the list price";
}

} // namespace

namespace {

TEST(KeyScriptTest, CharactersAndNamedKeys)
{
    QString why;
    const auto keys = demo::parseKeyScript("a {ENTER}{wait}{}}{F12}", &why);
    ASSERT_TRUE(keys) << qPrintable(why);
    std::vector<int> codes;
    QString text;
    for (const demo::ScriptedKey &key : *keys) {
        codes.push_back(key.key);
        text += key.text;
    }
    EXPECT_EQ(codes, (std::vector<int>{Qt::Key_A, Qt::Key_Space, Qt::Key_Return, 0, Qt::Key_BraceRight, Qt::Key_F12}));
    EXPECT_EQ(text, "a \r}");

    for (const char *bad : {"{ENTRA}", "abc{ENTER", "{}"}) {
        EXPECT_FALSE(demo::parseKeyScript(bad, &why)) << bad;
        EXPECT_TRUE(why.contains("no key named")) << bad;
    }
}

} // namespace
