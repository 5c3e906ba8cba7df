#include "error_number.h"
#include "catalogue_fixture.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

using Access = vokTArticuloTestAccess;

std::string str(int64_t id)
{
    return std::to_string(id);
}

class FindByIdTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        control->setEmpresa(1);
    }
    void find(int64_t id, int16_t variedad = 0) { control->FindArticuloByID(static_cast<int32_t>(id), variedad); }
    int32_t errorOf(int64_t id)
    {
        return vok::test::errorNumberOf([&] { find(id); });
    }
    const std::vector<int16_t> &pointer() { return toolkit().screen().pointerHistory(); }
    std::vector<int16_t> pointerSince(size_t from)
    {
        return std::vector<int16_t>(pointer().begin() + static_cast<std::ptrdiff_t>(from), pointer().end());
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

TEST_F(FindByIdTest, ArticleAndVarietyRows)
{
    const int64_t withVarieties = articleWithVarieties();
    const int64_t without = articleWithoutVarieties();
    const int64_t variety = ids("Select AVaID From ArticuloVariedad Where AVaArticulo = " + str(withVarieties)).back();
    const QString name = firstText("Select ArtNombre From Articulo Where ArtID = " + str(withVarieties));
    const QString varietyName = firstText("Select ArtNombre || ' ' || rtrim(AVaNombre) From Articulo Join "
                                          "ArticuloVariedad On AVaArticulo = ArtID Where ArtID = " +
                                          str(withVarieties) + " And AVaID = " + str(variety));
    const struct {
        int64_t id;
        int16_t variedad;
        bool omitir;
        int16_t loadedVariety;
        QString nombre;
        bool offered;
    } cases[] = {
        {without, 0, false, 0, firstText("Select ArtNombre From Articulo Where ArtID = " + str(without)), false},
        {withVarieties, 0, false, 0, name, true},
        {withVarieties, static_cast<int16_t>(variety), false, static_cast<int16_t>(variety), varietyName, false},
        {withVarieties, static_cast<int16_t>(variety), true, 0, name, true},
    };
    for (const auto &c : cases) {
        control->setOmitirVariedad(c.omitir);
        find(c.id, c.variedad);
        EXPECT_EQ(control->ID(), c.id) << c.id << "/" << c.variedad;
        EXPECT_EQ(control->Variedad(), c.loadedVariety) << c.id << "/" << c.variedad;
        EXPECT_EQ(control->Nombre(), c.nombre) << c.id << "/" << c.variedad;
        EXPECT_EQ(check().isVisible(), c.offered) << c.id << "/" << c.variedad;
        if (c.offered) {
            EXPECT_EQ(check().caption(), "c/Var") << "the short caption after a find by identifier";
        }
    }
    EXPECT_EQ(listsShown(), 0u) << "a find by identifier never opens a window for one row";
    EXPECT_EQ(control->FormatoLista(), 3) << "read from the database at the first find";
}

TEST_F(FindByIdTest, VarietyMinusOneOffersEveryVariety)
{
    const int64_t id = articleWithVarieties();
    const auto varieties = ids("Select AVaID From ArticuloVariedad Where AVaArticulo = " + str(id));
    toolkit().queueItemListAnswer(1);
    find(id, -1);
    ASSERT_EQ(listsShown(), 1u);
    EXPECT_EQ(toolkit().itemLists().back().rowsRead.size(), varieties.size());
    EXPECT_EQ(control->ID(), id);
    EXPECT_EQ(control->Variedad(), varieties[1]);
    EXPECT_FALSE(check().isVisible()) << "a chosen variety is not offered its varieties";
}

TEST_F(FindByIdTest, FilteredOutArticlesLeaveNothing)
{
    const struct {
        const char *what;
        std::string query;
        uint8_t enUsoObligatorio;
        bool found;
    } cases[] = {
        {"another company's", "Select ArtID From Articulo Where ArtEmpresa = 2 And ArtFoto Is Not Null", 0, false},
        {"not in use, in use required",
         "Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 0 And ArtNoUtilizarGenerico = 0", 1, false},
        {"not in use, not required",
         "Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 0 And ArtNoUtilizarGenerico = 0 And ArtFoto "
         "Is Not Null",
         0, true},
    };
    for (const auto &c : cases) {
        const int64_t id = firstId(c.query);
        Access::hold(*control, 5);
        control->setEnUsoObligatorio(c.enUsoObligatorio);
        find(id);
        EXPECT_EQ(control->ID(), c.found ? id : 0) << c.what;
        EXPECT_EQ(control->Codigo().isEmpty(), !c.found) << c.what;
        EXPECT_EQ(control->Variedad(), 0) << c.what;
    }
}

TEST_F(FindByIdTest, ErrorsReachTheCaller)
{
    const int64_t withoutPicture = firstId("Select ArtID From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And "
                                           "ArtFoto Is Null And ArtNoUtilizarGenerico = 0");
    EXPECT_EQ(errorOf(withoutPicture), vb::err::InvalidUseOfNull);
    EXPECT_EQ(control->ID(), withoutPicture) << "fields loaded before the picture reference stay";

    connect(editedCopy("sin_unidades.db", "DROP TABLE UnidadesMedidas"));
    Access::hold(*control, 5);
    EXPECT_NE(errorOf(articleWithoutVarieties()), 0);
    EXPECT_EQ(control->ID(), 0) << "the article is cleared before the statement runs";
}

TEST_F(FindByIdTest, ListLayoutIsReadOnceWithTheHourglass)
{
    const struct {
        const char *setup;
        uint8_t layout;
    } cases[] = {
        {"UPDATE genParametros SET ParValor = '3' WHERE ParNombre = 'FmtCabezalArticulo'", 3},
        {"UPDATE genParametros SET ParValor = '7' WHERE ParNombre = 'FmtCabezalArticulo'", 7},
        {"UPDATE genParametros SET ParValor = 'abc' WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        {"UPDATE genParametros SET ParValor = '300' WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        {"UPDATE genParametros SET ParValor = NULL WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        {"DELETE FROM genParametros WHERE ParNombre = 'FmtCabezalArticulo'", 0},
        {"DROP TABLE genParametros", 0},
    };
    int n = 0;
    for (const auto &c : cases) {
        connect(editedCopy("formato" + std::to_string(n++) + ".db", c.setup));
        const size_t before = pointer().size();
        EXPECT_EQ(Access::leerFormatoLista(*control), c.layout) << c.setup;
        EXPECT_EQ(pointerSince(before), (std::vector<int16_t>{11, 0})) << c.setup;
    }

    // The find reads the layout while it is unknown, and only then.
    connect(editedCopy("formato7.db", cases[1].setup));
    control->setFormatoLista(255);
    const int64_t id = articleWithoutVarieties();
    size_t before = pointer().size();
    find(id);
    EXPECT_EQ(control->FormatoLista(), 7);
    EXPECT_EQ(pointerSince(before), (std::vector<int16_t>{11, 0}));
    before = pointer().size();
    find(id);
    EXPECT_EQ(pointer().size(), before);
    EXPECT_EQ(control->ID(), id) << "layout 7 is a layout without extra columns";
}

TEST_F(FindByIdTest, PriceTypeOfTheCompanysList)
{
    const auto pairs = ids("Select TPrEmpresa * 1000 + TPrListaPrecio From TipoDePrecio Where TPrTipo = 1");
    ASSERT_FALSE(pairs.empty());
    for (const int64_t pair : pairs) {
        const auto empresa = static_cast<int16_t>(pair / 1000);
        const auto lista = static_cast<int16_t>(pair % 1000);
        control->setListaPrecios(lista);
        const auto expected = ids("Select TPrID From TipoDePrecio Where TPrTipo = 1 And TPrEmpresa = " +
                                  str(empresa) + " And TPrListaPrecio = " + str(lista));
        const size_t before = pointer().size();
        EXPECT_EQ(Access::leerTipoPrecio(*control, empresa), expected.front()) << empresa << "/" << lista;
        EXPECT_EQ(pointerSince(before), (std::vector<int16_t>{11, 0}));
    }
    control->setListaPrecios(0);
    EXPECT_EQ(Access::leerTipoPrecio(*control, 77), 0) << "no type for an unknown company";

    const auto twoRows = editedCopy("dos_tipos.db", "INSERT INTO TipoDePrecio VALUES (90, 1, 1, 55, 'B'); "
                                                    "INSERT INTO TipoDePrecio VALUES (80, 1, 1, 55, 'A');");
    connect(twoRows);
    control->setListaPrecios(55);
    const auto returned =
        ids("Select TPrID From TipoDePrecio Where TPrTipo = 1 And TPrEmpresa = 1 And TPrListaPrecio = 55", twoRows);
    ASSERT_EQ(returned.size(), 2u);
    EXPECT_EQ(Access::leerTipoPrecio(*control, 1), returned.front()) << "the first row the server returns";

    connect(editedCopy("sin_tipos.db", "DROP TABLE TipoDePrecio"));
    const size_t before = pointer().size();
    EXPECT_EQ(Access::leerTipoPrecio(*control, 1), 0);
    EXPECT_EQ(pointerSince(before), (std::vector<int16_t>{11, 0})) << "the pointer comes back after a failed read";
}

TEST_F(FindByIdTest, BaseStatementOfTheSearchDialog)
{
    control->setEmpresa(3);
    control->setEnVentaObligatorio(1);
    control->setEnUsoObligatorio(1);
    control->setOmitirVariedad(true);
    EXPECT_EQ(Access::sqlBaseBusqueda(*control),
              "Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 3 And ArtEnVenta = 1 And ArtEnUso = "
              "1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)");
    control->setEmpresa(1);
    control->setOmitirVariedad(false);
    const auto rows = control->connection()->OpenResultset(Access::sqlBaseBusqueda(*control));
    EXPECT_FALSE(rows->Eof()) << "the statement runs on the host's server";
    rows->Close();
}

} // namespace
