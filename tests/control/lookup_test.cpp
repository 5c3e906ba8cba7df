// The lookups as the control sequences them on the catalogue; the statements
// and the reading of a chosen row are tested where they are built.

#include "control_harness.h"
#include "named_rows.h"

#include "lookup/settings_readers.h"

#include <gtest/gtest.h>


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
    const auto readsOfPriceType = [&] { return connection->statements().filter("From TipoDePrecio").size(); };
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
    EXPECT_TRUE(connection->statements().filter("From TipoDePrecio").last().endsWith(
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
    EXPECT_EQ(control->ID() + control->Codigo().size() + control->Nombre().size(), 0);
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
    EXPECT_EQ(check().isVisible() ? check().caption() : "", f.offered ? "c/Var" : "");
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

// The find reads the layout while it is unknown, and only then, with the hourglass.
TEST_F(LookupTest, ListLayoutIsReadOnceWithTheHourglass)
{
    connect(editedCopy("formato7.db", "UPDATE genParametros SET ParValor = '7' WHERE ParNombre = 'FmtCabezalArticulo'"));
    const int64_t id = articleWithoutVarieties();
    const auto &pointer = toolkit().screen().pointerHistory();
    const size_t before = pointer.size();
    find(id);
    find(id);
    EXPECT_EQ(control->FormatoLista(), 7);
    EXPECT_EQ(std::vector<int16_t>(pointer.begin() + static_cast<std::ptrdiff_t>(before), pointer.end()),
              (std::vector<int16_t>{11, 0}));
    EXPECT_EQ(control->ID(), id) << "layout 7 is a layout without extra columns";
}

TEST_F(LookupTest, ListLayoutIsReadFromTheParameterOrIsZero)
{
    const std::string set = "UPDATE genParametros SET ParValor = %1 WHERE ParNombre = 'FmtCabezalArticulo'";
    const std::pair<std::string, int> cases[] = {{QString::fromStdString(set).arg("'3'").toStdString(), 3},
                                                 {QString::fromStdString(set).arg("'abc'").toStdString(), 0},
                                                 {"DROP TABLE genParametros", 0}};
    int file = 0;
    for (const auto &[edit, layout] : cases) {
        const auto copy = editedCopy("layout-" + std::to_string(++file) + ".db", edit);
        EXPECT_EQ(lookup::LeerFormatoLista(*rdo::rdoConnection::open("sqlite:" + QString::fromStdString(copy.string()))),
                  layout)
            << edit;
    }
}

TEST_F(LookupTest, PriceTypeOfTheCompanysList)
{
    const int pair = firstText("Select TPrEmpresa * 1000 + TPrListaPrecio From TipoDePrecio Where TPrTipo = 1 "
                               "Order By TPrID Desc").toInt();
    EXPECT_EQ(lookup::LeerTipoPrecio(*control->connection(), int16_t(pair / 1000), int16_t(pair % 1000)),
              firstId("Select TPrID From TipoDePrecio Where TPrTipo = 1 And TPrEmpresa * 1000 + TPrListaPrecio = " +
                      str(pair)));
    EXPECT_EQ(lookup::LeerTipoPrecio(*control->connection(), 77, 0), 0) << "no type for an unknown company";
    const auto missing = rdo::rdoConnection::open(
        "sqlite:" + QString::fromStdString(editedCopy("sin_tipos.db", "DROP TABLE TipoDePrecio").string()));
    EXPECT_EQ(lookup::LeerTipoPrecio(*missing, 1, 0), 0);
}

// What the cashier reads in the list: its title, the headings and the price format.
struct ListLayout {
    const char *name;
    uint8_t layout;
    std::map<int, QString> formats;
    QString lastHeading;
};

class ListWindow : public LookupTest, public ::testing::WithParamInterface<ListLayout> {};

TEST_P(ListWindow, ShowsTheLayout)
{
    const ListLayout &l = GetParam();
    control->setFormatoLista(l.layout);
    toolkit().queueItemListAnswer(-1);
    enter("A");
    ASSERT_EQ(listsShown(), 1u);
    const ui::ItemListLayout &shown = toolkit().itemLists().back().layout;
    EXPECT_EQ(shown.title, "Lista de Artículos");
    EXPECT_EQ(shown.formats, l.formats);
    ASSERT_GE(shown.headings.size(), 16);
    EXPECT_EQ(QStringList({shown.headings[5], shown.headings[13], shown.headings[14],
                           shown.headings[shown.headings.size() - 2], shown.headings.back()}),
              QStringList({"", "Código", "Artículo", l.lastHeading, ""}));
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, ListWindow,
    ::testing::Values(ListLayout{"Plain", 0, {}, "Artículo"}, ListLayout{"Price", 1, {{16, "#,##0.00"}}, "Precio"},
                      ListLayout{"PriceAndStock", 2, {{16, "#,##0.00"}}, "Stock"},
                      ListLayout{"Full", 3, {{18, "#,##0.00"}}, "Stock"}),
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
        EXPECT_EQ(check().isVisible() ? check().caption() : "", c.offered ? "Incluir Variedades" : "")
            << c.variety << c.ask;
    }
}

} // namespace
