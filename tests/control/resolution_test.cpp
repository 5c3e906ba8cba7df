#include "catalogue_fixture.h"

#include <gtest/gtest.h>

namespace {

// The control on the catalogue through a connection that keeps every statement.
class ResolutionTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        connection = connectRecording();
    }

    struct ScaleLabel {
        QString pattern;
        QString scanned;
        int64_t articulo;
    };
    // A scale pattern of a loadable article that no other pattern shares, and
    // a label scanned for it with a variable part.
    static std::optional<ScaleLabel> scaleLabel()
    {
        const std::string where = " From ArticuloCodigoBarras b Inner Join Articulo On ArtID = b.ACBArticulo Where "
                                  "b.ACBLargo = 13 And b.ACBVariedad = 0 And substr(b.ACBCodigo, -1) = '%' And "
                                  "ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null And ArtNoUtilizarGenerico "
                                  "= 0 And (Select Count(*) From ArticuloCodigoBarras c Where c.ACBCodigo = "
                                  "b.ACBCodigo) = 1 Order By b.ACBCodigo";
        const QString pattern = firstText("Select b.ACBCodigo" + where);
        if (pattern.isEmpty())
            return std::nullopt;
        const QString fixed = QString(pattern).remove('%');
        const QString scanned = fixed + QStringLiteral("0001505").right(13 - fixed.size());
        return ScaleLabel{pattern, scanned, firstId("Select b.ACBArticulo" + where)};
    }

    std::shared_ptr<vok::test::RecordingConnection> connection;
};

const QString LecheEnt = QStringLiteral(
    "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, "
    "ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo  Inner "
    "Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like "
    "'LECHE%ENT%' OR ArtNombre Like 'LECHE%ENT%' OR ArtNombreCorto Like 'LECHE%ENT%') And (ArtNoUtilizarGenerico = 0 "
    "Or 1 = 0) And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) UNION ALL Select 1 As Tipo, Null As "
    "CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, "
    "UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From "
    "Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  Inner Join "
    "UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like 'LECHE%ENT%' Or "
    "ArtNombre Like 'LECHE%ENT%' Or ArtNombreCorto Like 'LECHE%ENT%' OR ArtNombre + AVaNombre like 'LECHE%ENT%' OR "
    "ArtNombreCorto + AVaNombre like 'LECHE%ENT%') And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR "
    "(ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, "
    "ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, "
    "0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo Inner Join UnidadesMedidas On "
    "UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On "
    "ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0  Where 1=1  And "
    "ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) And 'LECHE ENT' Like ACBCodigo  And (ACBLargo = 0 Or "
    "ACBLargo = 9) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, "
    "ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, "
    "ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From Articulo Inner Join ArticuloVariedad On "
    "ArticuloVariedad.AVaArticulo = Articulo.ArtID Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = "
    "Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID "
    "And ArticuloCodigoBarras.ACBVariedad = ArticuloVariedad.AVaID  Where 1=1  And ArtEmpresa = 1 And "
    "(ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) And 'LECHE ENT' Like ACBCodigo  "
    "And (ACBLargo = 0 Or ACBLargo = 9) Order By NombreArt, ArtCodigo");

TEST_F(ResolutionTest, TypedTextBuildsTheWorkedStatementByteForByte)
{
    control->setFormatoLista(0);
    control->setEmpresa(1);
    text().type("LECHE ENT\r");
    ASSERT_FALSE(connection->statements.isEmpty());
    EXPECT_EQ(connection->statements.first(), LecheEnt);
}

TEST_F(ResolutionTest, ConditionStatementJoinsArticleAndVarietySelects)
{
    control->setFormatoLista(0);
    control->setEmpresa(1);
    const QString condicion = QStringLiteral("( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)");
    vokTArticuloTestAccess::buscar(*control, QString(), condicion);
    const lookup::LookupSettings settings = vokTArticuloTestAccess::settings(*control);
    EXPECT_EQ(connection->statements.first(),
              lookup::ArmarSelectArticulo(settings, true) + " Where " + condicion + lookup::ArmarFiltros(settings, true) +
                  " UNION ALL " + lookup::ArmarSelectArticulo(settings, false) + " Where " + condicion +
                  lookup::ArmarFiltros(settings, false) + " Order By NombreArt, ArtCodigo");

    connection->statements.clear();
    control->setOmitirVariedad(true);
    vokTArticuloTestAccess::buscar(*control, QString(), condicion);
    EXPECT_FALSE(connection->statements.first().contains("UNION ALL"));
}

TEST_F(ResolutionTest, TypedTextBecomesNamePatternAndBarCodeLiteral)
{
    control->setFormatoLista(0);
    const struct {
        const char *typed;
        const char *namePart;
        const char *barCodePart;
    } cases[] = {
        {"   ", "ArtCodigo like '%%%%'", "And '' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 0)"},
        {"ABC*12", "ArtNombre Like 'ABC%12%'", "And 'ABC*12' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 6)"},
        {"O'BRIEN", "ArtNombreCorto Like 'OBRIEN%'", "And 'O''BRIEN' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 7)"},
        {" 7790 ", "ArtCodigo like '%7790%%'", "And '7790' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 4)"},
    };
    for (const auto &c : cases) {
        connection->statements.clear();
        vokTArticuloTestAccess::buscar(*control, QString::fromUtf8(c.typed), QString());
        ASSERT_FALSE(connection->statements.isEmpty());
        const QString sql = connection->statements.first();
        EXPECT_TRUE(sql.contains(QString::fromUtf8(c.namePart))) << c.typed << "\n" << sql.toStdString();
        EXPECT_TRUE(sql.contains(QString::fromUtf8(c.barCodePart))) << c.typed << "\n" << sql.toStdString();
    }
}

TEST_F(ResolutionTest, OmitirVariedadLeavesBranchesAandConly)
{
    control->setFormatoLista(0);
    control->setOmitirVariedad(true);
    vokTArticuloTestAccess::buscar(*control, "TORNILLO", QString());
    const QString sql = connection->statements.first();
    EXPECT_EQ(sql.count("UNION ALL"), 1);
    EXPECT_TRUE(sql.contains("Or 1 = 1)"));
    EXPECT_FALSE(sql.contains("AVaNombre"));
}

// The price type is read once per price list, and never while the layout
// shows no price.
TEST_F(ResolutionTest, PriceTypeIsReadAgainOnlyWhenThePriceListChanges)
{
    const auto readsOfPriceType = [&] { return connection->statements.filter("From TipoDePrecio").size(); };
    control->setFormatoLista(0);
    control->setListaPrecios(1);
    vokTArticuloTestAccess::buscar(*control, "X", QString());
    EXPECT_EQ(readsOfPriceType(), 0);

    control->setFormatoLista(1);
    vokTArticuloTestAccess::buscar(*control, "X", QString());
    EXPECT_EQ(readsOfPriceType(), 1);
    control->setEmpresa(2);
    vokTArticuloTestAccess::buscar(*control, "X", QString());
    EXPECT_EQ(readsOfPriceType(), 1);
    control->setListaPrecios(2);
    vokTArticuloTestAccess::buscar(*control, "X", QString());
    EXPECT_EQ(readsOfPriceType(), 2);
    EXPECT_TRUE(connection->statements.filter("From TipoDePrecio").last().endsWith(
        "Where TPrTipo = 1 And TPrEmpresa = 2 And TPrListaPrecio = 2"));
}

TEST_F(ResolutionTest, ScaleLabelLoadsTheArticleWithItsVariablePart)
{
    const auto label = scaleLabel();
    ASSERT_TRUE(label) << "the catalogue has no scale bar code";
    text().type(label->scanned + "\r");
    EXPECT_EQ(control->ID(), label->articulo);
    EXPECT_TRUE(control->CB());
    EXPECT_EQ(control->CBFija(), QString(label->pattern).remove('%'));
    EXPECT_EQ(control->CBVariable(), label->scanned.right(label->scanned.size() - label->pattern.size() + 1));
    EXPECT_EQ(control->CBCantidad(), 1.0);
}

} // namespace
