#include "lookup/query_builder.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

using namespace lookup;

// The state of the worked examples: full name, layout 2, price type 3,
// company 1, on sale and in use required, varieties not omitted.
LookupSettings ejemplo() { return {0, 2, 3, 1, 1, 1, false}; }

TEST(QueryBuilderTest, WorkedExamples)
{
    const LookupSettings s = ejemplo();
    const struct {
        const char *name;
        QString actual;
        const char *expected;
    } cases[] = {
        {"ArmarSelectArticulo(False) + ArmarFiltros(False)", ArmarSelectArticulo(s, false) + ArmarFiltros(s, false),
         "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt, "
         "MonSimbolo, PViPrecio, SDiCantidad"
         " From Articulo "
         " Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID "
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = AVaID And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3"
         " Left Outer Join genMonedas On MonID = PViMoneda "
         " Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = AVaID"
         " And ArtEmpresa = 1 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null) And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL))"},
        {"ArmarSelectCodigoBarras(True) + ArmarFiltros(True)", ArmarSelectCodigoBarras(s, true) + ArmarFiltros(s, true),
         "Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt, "
         "MonSimbolo, PViPrecio, SDiCantidad"
         " From Articulo"
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida"
         " Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0 "
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = 0 And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3"
         " Left Outer Join genMonedas On MonID = PViMoneda "
         " Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = 0"
         " Where 1=1 "
         " And ArtEmpresa = 1 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.actual, QString::fromUtf8(c.expected)) << c.name;
}

// The paths the worked examples leave out, byte for byte: the article select
// without varieties, the bar-code select with varieties ("On", no leading
// blanks) and layouts 1 and 3.
TEST(QueryBuilderTest, SelectsOfTheOtherPaths)
{
    LookupSettings s = ejemplo();
    s.mintTipoPrecio = 1234; // four digits: written without a group separator
    const struct {
        uint8_t formato;
        bool codigoBarras, sinVariedad;
        const char *expected;
    } cases[] = {
        {0, false, true,
         "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt"
         " From Articulo "
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "},
        {1, true, false,
         "Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt, "
         "MonSimbolo, PViPrecio"
         " From Articulo"
         " Inner Join ArticuloVariedad On ArticuloVariedad.AVaArticulo = Articulo.ArtID"
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida"
         " Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = ArticuloVariedad.AVaID "
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = AVaID And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 1234"
         " Left Outer Join genMonedas On MonID = PViMoneda"
         " Where 1=1 "},
        {3, false, true,
         "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt, "
         "ArtDescripcionCorta, MarNombre, MonSimbolo, PViPrecio, SDiCantidad"
         " From Articulo "
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "
         " Left Outer Join Marcas On  MarCodigo = ArtMarca "
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = 0 And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 1234"
         " Left Outer Join genMonedas On MonID = PViMoneda "
         " Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = 0"},
    };
    for (const auto &c : cases) {
        s.FormatoLista = c.formato;
        const QString actual = c.codigoBarras ? ArmarSelectCodigoBarras(s, c.sinVariedad)
                                              : ArmarSelectArticulo(s, c.sinVariedad);
        EXPECT_EQ(actual, QString::fromUtf8(c.expected)) << "FormatoLista " << int(c.formato);
    }
}

TEST(QueryBuilderTest, CamposByTipoAndName)
{
    const struct {
        int32_t nombre;
        bool sinVariedad;
        uint8_t tipo;
        const char *prefix, *name;
    } cases[] = {
        {1, true, 2, "2 As Tipo, ACBCodigo As CodigoBarra,", "ArtNombreCorto as NombreArt"},
        {1, false, 1, "1 As Tipo, Null As CodigoBarra,", "ArtNombreCorto + ' ' + RTrim(AVaNombre) as NombreArt"},
        {5, true, 1, "1 As Tipo, ", "ArtNombreCorto as NombreArt"},
        {-1, false, 1, "1 As Tipo, ", "ArtNombreCorto + ' ' + RTrim(AVaNombre) as NombreArt"},
        // Only Tipo 2 selects the bar-code columns; any other number is written as it is.
        {0, true, 255, "255 As Tipo, Null As CodigoBarra, Null As CantidadCB, ", "ArtNombre as NombreArt"},
    };
    LookupSettings s = ejemplo();
    s.FormatoLista = 0;
    for (const auto &c : cases) {
        s.NombreADesplegar = c.nombre;
        const QString campos = ArmarCampos(s, c.sinVariedad, c.tipo);
        EXPECT_TRUE(campos.startsWith(QString::fromUtf8(c.prefix))) << campos.toStdString();
        EXPECT_TRUE(campos.endsWith(u"ArtCodigo, "_qs + QString::fromUtf8(c.name))) << campos.toStdString();
    }
}

// Every combination of the three filter settings, for article and variety rows.
TEST(QueryBuilderTest, FiltersForEachCombination)
{
    const char *generico = " And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL))";
    const struct {
        uint8_t enVenta, enUso;
        bool omitir, sinVariedad;
        const char *expected;
    } cases[] = {
        {0, 0, false, true, " And ArtEmpresa = 1234 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {0, 0, true, true, " And ArtEmpresa = 1234 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {1, 0, false, true, " And ArtEmpresa = 1234 And ArtEnVenta = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {1, 0, true, true, " And ArtEmpresa = 1234 And ArtEnVenta = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {0, 1, false, true, " And ArtEmpresa = 1234 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {0, 1, true, true, " And ArtEmpresa = 1234 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {1, 1, false, true, " And ArtEmpresa = 1234 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {2, 255, true, true, " And ArtEmpresa = 1234 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        // Variety rows: OmitirVariedad changes nothing; without EnUsoObligatorio
        // varieties not in use are returned as well.
        {0, 0, true, false, " And ArtEmpresa = 1234"},
        {1, 0, false, false, " And ArtEmpresa = 1234 And ArtEnVenta = 1"},
        {0, 1, true, false, " And ArtEmpresa = 1234 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
        {9, 2, false, false, " And ArtEmpresa = 1234 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
    };
    LookupSettings s = ejemplo();
    s.Empresa = 1234; // four digits: written without a group separator
    for (const auto &c : cases) {
        s.EnVentaObligatorio = c.enVenta;
        s.EnUsoObligatorio = c.enUso;
        s.OmitirVariedad = c.omitir;
        const QString expected = QString::fromUtf8(c.expected) + (c.sinVariedad ? QString() : QString::fromUtf8(generico));
        EXPECT_EQ(ArmarFiltros(s, c.sinVariedad), expected) << int(c.enVenta) << int(c.enUso) << c.omitir;
    }
}

} // namespace
