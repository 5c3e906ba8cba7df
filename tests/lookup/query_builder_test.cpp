#include "lookup/query_builder.h"
#include "platform/rdo/tsql/tokens.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using namespace lookup;

// The state of the worked examples: full name, layout 2, price type 3,
// company 1, on sale and in use required, varieties not omitted.
LookupSettings ejemplo() { return {0, 2, 3, 1, 1, 1, false}; }

// Result columns of a select: its commas outside parentheses before its first From, plus one.
int contarColumnas(const QString &sql)
{
    const rdo::TokenView t(sql);
    const size_t from = t.find(0, t.size(), 0, [&](size_t k) { return t.isWord(k, u"From"); });
    int columnas = 1;
    for (size_t k = 1; k < from; ++k)
        columnas += t.depth(k) == 0 && t.isPunct(k, u',') ? 1 : 0;
    return columnas;
}

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
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = AVaID And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3"
         " Left Outer Join genMonedas On MonID = PViMoneda"
         " Where 1=1 "},
        {3, false, true,
         "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt, "
         "ArtDescripcionCorta, MarNombre, MonSimbolo, PViPrecio, SDiCantidad"
         " From Articulo "
         " Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "
         " Left Outer Join Marcas On  MarCodigo = ArtMarca "
         " Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = 0 And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3"
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

// All four selects must have the same number of columns for a layout, or the
// UNION ALL of the lookup fails; layouts other than 1 to 3 have none extra.
TEST(QueryBuilderTest, ColumnCountsAndLayoutJoins)
{
    const struct {
        uint8_t formato;
        int columnas;
        bool precio, stock, marcas;
    } cases[] = {{0, 15, false, false, false}, {1, 17, true, false, false}, {2, 18, true, true, false},
                 {3, 20, true, true, true},    {4, 15, false, false, false}, {255, 15, false, false, false}};
    LookupSettings s = ejemplo();
    for (const auto &c : cases) {
        s.FormatoLista = c.formato;
        for (const QString &sql : {ArmarSelectArticulo(s, true), ArmarSelectArticulo(s, false),
                                   ArmarSelectCodigoBarras(s, true), ArmarSelectCodigoBarras(s, false)}) {
            SCOPED_TRACE(sql.toStdString());
            EXPECT_EQ(contarColumnas(sql), c.columnas);
            EXPECT_EQ(sql.contains(u"Left Outer Join PrecioVigente"_qs), c.precio);
            EXPECT_EQ(sql.contains(u"Left Outer Join StockDisponible"_qs), c.stock);
            EXPECT_EQ(sql.contains(u"Left Outer Join Marcas On  MarCodigo = ArtMarca "_qs), c.marcas);
            EXPECT_EQ(sql.contains(u"Where"_qs), sql.startsWith(u"Select 2 "_qs));
        }
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

TEST(QueryBuilderTest, NumbersAsDecimalText)
{
    LookupSettings s = ejemplo();
    s.FormatoLista = 1;
    for (const auto &[value, text] : std::initializer_list<std::pair<int16_t, QString>>{
             {0, u"0"_qs}, {3, u"3"_qs}, {-2, u"-2"_qs}, {10, u"10"_qs}, {32767, u"32767"_qs}, {-32768, u"-32768"_qs}}) {
        s.mintTipoPrecio = s.Empresa = value;
        const QString precio = u"And PViTipoPrecio = "_qs + text + u" Left Outer Join genMonedas On MonID = PViMoneda"_qs;
        EXPECT_TRUE(ArmarSelectArticulo(s, true).endsWith(precio)) << text.toStdString();
        EXPECT_TRUE(ArmarSelectCodigoBarras(s, false).endsWith(precio + u" Where 1=1 "_qs)) << text.toStdString();
        for (bool sinVariedad : {true, false})
            EXPECT_TRUE(ArmarFiltros(s, sinVariedad).startsWith(u" And ArtEmpresa = "_qs + text + u" And "_qs));
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
        {0, 0, false, true, " And ArtEmpresa = 7 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {0, 0, true, true, " And ArtEmpresa = 7 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {1, 0, false, true, " And ArtEmpresa = 7 And ArtEnVenta = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {1, 0, true, true, " And ArtEmpresa = 7 And ArtEnVenta = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {0, 1, false, true, " And ArtEmpresa = 7 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {0, 1, true, true, " And ArtEmpresa = 7 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        {1, 1, false, true, " And ArtEmpresa = 7 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"},
        {2, 255, true, true, " And ArtEmpresa = 7 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        // Variety rows: OmitirVariedad changes nothing; without EnUsoObligatorio
        // varieties not in use are returned as well.
        {0, 0, true, false, " And ArtEmpresa = 7"},
        {1, 0, false, false, " And ArtEmpresa = 7 And ArtEnVenta = 1"},
        {0, 1, true, false, " And ArtEmpresa = 7 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
        {9, 2, false, false, " And ArtEmpresa = 7 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
    };
    LookupSettings s = ejemplo();
    s.Empresa = 7;
    for (const auto &c : cases) {
        s.EnVentaObligatorio = c.enVenta;
        s.EnUsoObligatorio = c.enUso;
        s.OmitirVariedad = c.omitir;
        const QString expected = QString::fromUtf8(c.expected) + (c.sinVariedad ? QString() : QString::fromUtf8(generico));
        EXPECT_EQ(ArmarFiltros(s, c.sinVariedad), expected) << int(c.enVenta) << int(c.enUso) << c.omitir;
    }
}

} // namespace
