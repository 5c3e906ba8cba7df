// The lookups as the control runs them on the catalogue: typed text, a
// find by identifier, the advanced search's condition, the list window they
// open and the settings they read on the way. The statements themselves and
// the reading of a chosen row are tested where they are built
// (tests/lookup); here each row proves how the control sequences them.

#include "control_harness.h"
#include "named_rows.h"
#include "error_number.h"

#include "lookup/settings_readers.h"
#include "platform/vb/error.h"
#include "search/frm_busqueda.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using vok::test::CatalogueFixture;
using vok::test::PrintTo;
using vok::test::LoadableArticle;

std::string str(int64_t id)
{
    return std::to_string(id);
}

class LookupTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        control->setEmpresa(1);
    }
    void find(int64_t id, int16_t variedad = 0) { control->FindArticuloByID(static_cast<int32_t>(id), variedad); }
    void enter(const QString &typed)
    {
        control->setText(typed);
        int16_t key = 13;
        text().onKeyPress(key);
    }
    std::vector<int16_t> pointerSince(size_t from)
    {
        const auto &history = toolkit().screen().pointerHistory();
        return {history.begin() + static_cast<std::ptrdiff_t>(from), history.end()};
    }
    size_t pointerNow() { return toolkit().screen().pointerHistory().size(); }

    // An article with at least two varieties, all in use.
    static int64_t articleWithVarieties()
    {
        return firstId(LoadableArticle + " And ArtID In (Select AVaArticulo From ArticuloVariedad Group By AVaArticulo "
                                         "Having Count(*) >= 2 And Min(AVaEnUso) = 1)");
    }
    static int64_t articleWithoutVarieties()
    {
        return firstId(LoadableArticle + " And ArtID Not In (Select AVaArticulo From ArticuloVariedad)");
    }
};

// The price type is read once per price list, and never while the layout
// shows no price; a company of its own does not make it read again.
TEST_F(LookupTest, PriceTypeIsReadAgainOnlyWhenThePriceListChanges)
{
    const auto connection = connectRecording();
    const auto readsOfPriceType = [&] { return connection->statements.filter("From TipoDePrecio").size(); };
    control->setFormatoLista(0);
    control->setListaPrecios(1);
    enter("X");
    EXPECT_EQ(readsOfPriceType(), 0);

    control->setFormatoLista(1);
    enter("X");
    EXPECT_EQ(readsOfPriceType(), 1);
    control->setEmpresa(2);
    enter("X");
    EXPECT_EQ(readsOfPriceType(), 1);
    control->setListaPrecios(2);
    enter("X");
    EXPECT_EQ(readsOfPriceType(), 2);
    EXPECT_TRUE(connection->statements.filter("From TipoDePrecio").last().endsWith(
        "Where TPrTipo = 1 And TPrEmpresa = 2 And TPrListaPrecio = 2"));
}

TEST_F(LookupTest, ScaleLabelLoadsTheArticleWithItsVariablePart)
{
    const std::string where = " From ArticuloCodigoBarras b Inner Join Articulo On ArtID = b.ACBArticulo Where "
                              "b.ACBLargo = 13 And b.ACBVariedad = 0 And substr(b.ACBCodigo, -1) = '%' And "
                              "ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null And ArtNoUtilizarGenerico "
                              "= 0 And (Select Count(*) From ArticuloCodigoBarras c Where c.ACBCodigo = "
                              "b.ACBCodigo) = 1 Order By b.ACBCodigo";
    const QString pattern = firstText("Select b.ACBCodigo" + where);
    const QString fixed = QString(pattern).remove('%');
    const QString scanned = fixed + QStringLiteral("0001505").right(13 - fixed.size());
    enter(scanned);
    EXPECT_EQ(control->ID(), firstId("Select b.ACBArticulo" + where));
    EXPECT_TRUE(control->CB());
    EXPECT_EQ(control->CBFija(), fixed);
    EXPECT_EQ(control->CBVariable(), scanned.right(scanned.size() - pattern.size() + 1));
    EXPECT_EQ(control->CBCantidad(), 1.0);
}

TEST_F(LookupTest, ClosedListLeavesNoArticleAndTheTypedText)
{
    enter("A");
    ASSERT_EQ(listsShown(), 1u);
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(control->Codigo(), "");
    EXPECT_EQ(control->Nombre(), "");
    EXPECT_EQ(text().text(), "A");
    EXPECT_FALSE(check().isVisible());
}

struct Find {
    const char *name;
    enum Article { Without, With } article;
    enum Variety { None, Last, Every } variety;
    bool omitir;
    bool varietyLoaded;
    bool offered;
};

class FindById : public LookupTest, public ::testing::WithParamInterface<Find> {};

// After a find by identifier the check box, if offered, has the short caption;
// one row is chosen without a window.
TEST_P(FindById, LoadsTheRowAndOffersVarieties)
{
    const Find &f = GetParam();
    const int64_t id = f.article == Find::With ? articleWithVarieties() : articleWithoutVarieties();
    const auto varieties = column("Select AVaID From ArticuloVariedad Where AVaArticulo = " + str(id));
    const int16_t variedad = f.variety == Find::None ? 0 : f.variety == Find::Last ? int16_t(varieties.back().toInt()) : -1;
    if (f.variety == Find::Every)
        toolkit().queueItemListAnswer(1);
    control->setOmitirVariedad(f.omitir);
    find(id, variedad);
    EXPECT_EQ(control->ID(), id);
    const int16_t expected = !f.varietyLoaded ? 0 : f.variety == Find::Last ? variedad : int16_t(varieties[1].toInt());
    EXPECT_EQ(control->Variedad(), expected);
    EXPECT_EQ(check().isVisible(), f.offered);
    if (f.offered) {
        EXPECT_EQ(check().caption(), "c/Var");
    }
    EXPECT_EQ(listsShown(), f.variety == Find::Every ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, FindById,
    ::testing::Values(Find{"ArticleWithoutVarieties", Find::Without, Find::None, false, false, false},
                      Find{"ArticleWithVarietiesOffersThem", Find::With, Find::None, false, false, true},
                      Find{"OneVariety", Find::With, Find::Last, false, true, false},
                      Find{"OneVarietyWithoutVarieties", Find::With, Find::Last, true, false, true},
                      Find{"MinusOneListsEveryVariety", Find::With, Find::Every, false, true, false}),
    vok::test::byName);

TEST_F(LookupTest, ErrorsReachTheCallerOfAFind)
{
    const int64_t withoutPicture = firstId("Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And "
                                           "ArtFoto Is Null And ArtNoUtilizarGenerico = 0");
    EXPECT_EQ(vok::test::errorNumberOf([&] { find(withoutPicture); }), vb::err::InvalidUseOfNull);
    EXPECT_EQ(control->ID(), withoutPicture) << "fields loaded before the picture reference stay";

    connect(editedCopy("sin_unidades.db", "DROP TABLE UnidadesMedidas"));
    EXPECT_NE(vok::test::errorNumberOf([&] { find(articleWithoutVarieties()); }), 0);
    EXPECT_EQ(control->ID(), 0) << "the article is cleared before the statement runs";
}

// The find reads the layout while it is unknown, and only then, with the hourglass.
TEST_F(LookupTest, ListLayoutIsReadOnceWithTheHourglass)
{
    connect(editedCopy("formato7.db", "UPDATE genParametros SET ParValor = '7' WHERE ParNombre = 'FmtCabezalArticulo'"));
    const int64_t id = articleWithoutVarieties();
    size_t before = pointerNow();
    find(id);
    EXPECT_EQ(control->FormatoLista(), 7);
    EXPECT_EQ(pointerSince(before), (std::vector<int16_t>{11, 0}));
    before = pointerNow();
    find(id);
    EXPECT_EQ(pointerNow(), before);
    EXPECT_EQ(control->ID(), id) << "layout 7 is a layout without extra columns";
    control->setFormatoLista(255);
    control->setConnect(nullptr);
    enter("X");
    EXPECT_EQ(control->FormatoLista(), 0) << "without a connection there is no layout to read";
}

struct Setting {
    const char *name;
    std::string edit;
    int layout;
};

class ListLayoutSetting : public LookupTest, public ::testing::WithParamInterface<Setting> {};

TEST_P(ListLayoutSetting, IsReadFromTheParameter)
{
    const auto copy = editedCopy(std::string("layout-") + GetParam().name + ".db", GetParam().edit);
    const auto connection = rdo::rdoConnection::open("sqlite:" + QString::fromStdString(copy.string()));
    EXPECT_EQ(lookup::LeerFormatoLista(*connection), GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, ListLayoutSetting,
    ::testing::Values(
        Setting{"Three", "UPDATE genParametros SET ParValor = '3' WHERE ParNombre = 'FmtCabezalArticulo'", 3},
        Setting{"NotALayout", "UPDATE genParametros SET ParValor = 'abc' WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        Setting{"Null", "UPDATE genParametros SET ParValor = NULL WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        Setting{"NoTable", "DROP TABLE genParametros", 0}),
    vok::test::byName);

TEST_F(LookupTest, PriceTypeOfTheCompanysList)
{
    const auto catalogueConnection = control->connection();
    const QString pair = firstText("Select TPrEmpresa * 1000 + TPrListaPrecio From TipoDePrecio Where TPrTipo = 1 "
                                   "Order By TPrID Desc");
    const auto empresa = static_cast<int16_t>(pair.toInt() / 1000);
    const auto lista = static_cast<int16_t>(pair.toInt() % 1000);
    EXPECT_EQ(lookup::LeerTipoPrecio(*catalogueConnection, empresa, lista),
              firstId("Select TPrID From TipoDePrecio Where TPrTipo = 1 And TPrEmpresa = " + str(empresa) +
                      " And TPrListaPrecio = " + str(lista)));
    EXPECT_EQ(lookup::LeerTipoPrecio(*catalogueConnection, 77, 0), 0) << "no type for an unknown company";
    const auto missing = rdo::rdoConnection::open(
        "sqlite:" + QString::fromStdString(editedCopy("sin_tipos.db", "DROP TABLE TipoDePrecio").string()));
    EXPECT_EQ(lookup::LeerTipoPrecio(*missing, 1, 0), 0);
}

struct ListLayout {
    const char *name;
    uint8_t layout;
    ui::Twips screen;
    ui::Twips width;
    std::map<int, ui::Twips> widths;
    std::map<int, QString> formats;
    QString lastHeading;
};

class ListWindow : public LookupTest, public ::testing::WithParamInterface<ListLayout> {};

TEST_P(ListWindow, ShowsTheLayout)
{
    const ListLayout &l = GetParam();
    toolkit().screen().resize(l.screen, 11520);
    control->setFormatoLista(l.layout);
    toolkit().queueItemListAnswer(-1);
    enter("A");
    toolkit().screen().resize(15360, 11520);
    ASSERT_EQ(listsShown(), 1u);
    const ui::ItemListLayout &shown = toolkit().itemLists().back().layout;
    EXPECT_EQ(shown.title, "Lista de Artículos");
    EXPECT_EQ(shown.width, l.width);
    EXPECT_EQ(shown.widths, l.widths);
    EXPECT_EQ(shown.formats, l.formats);
    ASSERT_GE(shown.headings.size(), 16);
    EXPECT_EQ(shown.headings[5], "") << "the identifier is not shown";
    EXPECT_EQ(shown.headings[13], "Código");
    EXPECT_EQ(shown.headings[14], "Artículo");
    EXPECT_EQ(shown.headings[shown.headings.size() - 2], l.lastHeading);
    EXPECT_EQ(shown.headings.back(), "");
}

const std::map<int, ui::Twips> Wide = {{13, 1000}, {14, 2600}, {15, 2800}, {16, 1400}, {17, 400}, {18, 1000}, {19, 1000}};
const std::map<int, ui::Twips> Narrow = {{13, 1000}, {14, 2600}, {15, 2000}, {16, 1200}, {17, 400}, {18, 1000}, {19, 1000}};

INSTANTIATE_TEST_SUITE_P(
    Lookup, ListWindow,
    ::testing::Values(ListLayout{"Plain", 0, 15360, 7000, {}, {}, "Artículo"},
                      ListLayout{"Price", 1, 15360, 8000, {}, {{16, "#,##0.00"}}, "Precio"},
                      ListLayout{"PriceAndStock", 2, 15360, 9000, {}, {{16, "#,##0.00"}}, "Stock"},
                      ListLayout{"FullOnAWideScreen", 3, 10630, 10630, Wide, {{18, "#,##0.00"}}, "Stock"},
                      ListLayout{"FullOnANarrowScreen", 3, 10629, 9630, Narrow, {{18, "#,##0.00"}}, "Stock"}),
    vok::test::byName);

// The varieties probe runs for an article row only, and only when the host
// wants varieties offered.
TEST_F(LookupTest, ProbeOffersVarietiesOnlyForAnArticleRow)
{
    const int64_t withVarieties = articleWithVarieties();
    const struct {
        int16_t variety;
        bool ask;
        bool offered;
    } cases[] = {{0, true, true}, {0, false, false}, {1, true, false}};
    for (const auto &c : cases) {
        auto row = vok::test::filaDeArticulo();
        row[5] = static_cast<int32_t>(withVarieties);
        row[6] = c.variety;
        scriptList(row);
        control->setPedirIncluirVariedad(c.ask);
        control->setText({});
        enter("A57");
        EXPECT_EQ(control->ID(), withVarieties);
        EXPECT_EQ(check().isVisible(), c.offered) << c.variety << c.ask;
        if (c.offered) {
            EXPECT_EQ(check().caption(), "Incluir Variedades") << "the long caption after typed text";
        }
    }
}

class AdvancedSearchTest : public LookupTest {
protected:
    // F4 with the user's actions on the dialog.
    void buscar(std::function<void(search::frmBusqueda &)> usuario)
    {
        toolkit().queueModalAnswer([usuario](ui::Form &ventana) {
            search::frmBusqueda *dialogo = search::frmBusqueda::deVentana(ventana);
            ASSERT_NE(dialogo, nullptr);
            usuario(*dialogo);
        });
        text().pressKey(115, 0);
    }
    static void escribir(search::frmBusqueda &d, const QString &texto)
    {
        d.txtTexto().setFocus();
        static_cast<ui::HeadlessTextBox &>(d.txtTexto()).type(texto);
    }
    static void aceptar(search::frmBusqueda &d) { static_cast<ui::HeadlessButton &>(d.btnOk()).click(); }
};

// The check is the control's base statement with its filters, narrowed by
// the condition; a condition that finds articles goes to the list.
TEST_F(AdvancedSearchTest, OkChecksThenSearchesWithTheCondition)
{
    const auto connection = connectRecording();
    control->setEnVentaObligatorio(1);
    const int64_t id = articleWithoutVarieties();
    const QString nombre = firstText("Select ArtNombre From Articulo Where ArtID = " + str(id));
    toolkit().queueItemListAnswer(0);
    buscar([&](search::frmBusqueda &d) {
        escribir(d, nombre);
        static_cast<ui::HeadlessComboBox &>(d.cmbTipo()).setListIndex(d.cmbTipo().findItemData(2));
        aceptar(d);
    });
    ASSERT_FALSE(connection->statements.isEmpty());
    EXPECT_EQ(connection->statements.first(),
              "Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 1 And ArtEnVenta = 1 And "
              "(ArtNoUtilizarGenerico = 0 Or 1= 0) And ( ArtNombre = '" + nombre + "' And ArtEnUso = 1 And ArtEnVenta = 1)");
    EXPECT_EQ(listsShown(), 1u);
    EXPECT_EQ(control->ID(), id);
    EXPECT_EQ(control->Nombre(), nombre);
}

} // namespace
