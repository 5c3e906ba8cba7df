#include "lookup/query_builder.h"
#include "platform/rdo/tsql/tokens.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using lookup::ArmarCampos;
using lookup::ArmarFiltros;
using lookup::ArmarSelectArticulo;
using lookup::ArmarSelectCodigoBarras;
using lookup::LookupSettings;

// The state of the worked examples: full name, layout 2, price type 3,
// company 1, on sale and in use required, varieties not omitted.
LookupSettings ejemplo()
{
    LookupSettings s;
    s.NombreADesplegar = 0;
    s.FormatoLista = 2;
    s.mintTipoPrecio = 3;
    s.Empresa = 1;
    s.EnVentaObligatorio = 1;
    s.EnUsoObligatorio = 1;
    s.OmitirVariedad = false;
    return s;
}

// Number of result columns of a select: its commas outside parentheses
// before its first From, plus one.
int contarColumnas(const QString &sql)
{
    const rdo::TokenView t(sql);
    if (!t.isWord(0, u"Select"))
        return -1;
    const size_t from = t.find(0, t.size(), 0, [&](size_t k) { return t.isWord(k, u"From"); });
    int columnas = 1;
    for (size_t k = 1; k < from; ++k)
        columnas += t.depth(k) == 0 && t.isPunct(k, u',') ? 1 : 0;
    return columnas;
}

using Builder = std::function<QString(const LookupSettings &)>;

struct Select {
    const char *name;
    Builder build;
};

const Select todasLasSelects[] = {
    {"ArmarSelectArticulo(True)", [](const LookupSettings &s) { return ArmarSelectArticulo(s, true); }},
    {"ArmarSelectArticulo(False)", [](const LookupSettings &s) { return ArmarSelectArticulo(s, false); }},
    {"ArmarSelectCodigoBarras(True)", [](const LookupSettings &s) { return ArmarSelectCodigoBarras(s, true); }},
    {"ArmarSelectCodigoBarras(False)", [](const LookupSettings &s) { return ArmarSelectCodigoBarras(s, false); }},
};

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
        bool codigoBarras;
        bool sinVariedad;
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
        EXPECT_EQ(actual, QString::fromUtf8(c.expected))
            << "FormatoLista " << int(c.formato) << (c.codigoBarras ? " bar code" : " article")
            << " SinVariedad " << c.sinVariedad;
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
    } cases[] = {
        {0, 15, false, false, false},
        {1, 17, true, false, false},
        {2, 18, true, true, false},
        {3, 20, true, true, true},
        {4, 15, false, false, false},
        {255, 15, false, false, false},
    };
    LookupSettings s = ejemplo();
    for (const auto &c : cases) {
        s.FormatoLista = c.formato;
        for (const auto &select : todasLasSelects) {
            const QString sql = select.build(s);
            const std::string where = std::string(select.name) + " FormatoLista " + std::to_string(c.formato);
            EXPECT_EQ(contarColumnas(sql), c.columnas) << where;
            EXPECT_EQ(sql.contains(QStringLiteral("Left Outer Join PrecioVigente")), c.precio) << where;
            EXPECT_EQ(sql.contains(QStringLiteral("Left Outer Join StockDisponible")), c.stock) << where;
            EXPECT_EQ(sql.contains(QStringLiteral("Left Outer Join Marcas On  MarCodigo = ArtMarca ")), c.marcas) << where;
            EXPECT_EQ(sql.contains(QStringLiteral("Where")), sql.startsWith(QStringLiteral("Select 2 "))) << where;
        }
    }
}

TEST(QueryBuilderTest, CamposByTipoAndName)
{
    const struct {
        int32_t nombre;
        bool sinVariedad;
        uint8_t tipo;
        const char *prefix;
        const char *name;
    } cases[] = {
        {0, true, 1, "1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto,", "ArtNombre as NombreArt"},
        {0, false, 2, "2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto,",
         "ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt"},
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
        const QString where = QStringLiteral("NombreADesplegar %1 SinVariedad %2 Tipo %3")
                                  .arg(c.nombre).arg(c.sinVariedad).arg(c.tipo);
        EXPECT_TRUE(campos.startsWith(QString::fromUtf8(c.prefix))) << campos.toStdString();
        EXPECT_TRUE(campos.endsWith(QStringLiteral("ArtCodigo, ") + QString::fromUtf8(c.name)))
            << where.toStdString() << ": " << campos.toStdString();
    }
}

TEST(QueryBuilderTest, NumbersAsDecimalText)
{
    const struct {
        int16_t value;
        const char *text;
    } cases[] = {
        {0, "0"}, {3, "3"}, {-2, "-2"}, {10, "10"}, {32767, "32767"}, {-32768, "-32768"},
    };
    LookupSettings s = ejemplo();
    s.FormatoLista = 1;
    for (const auto &c : cases) {
        s.mintTipoPrecio = c.value;
        s.Empresa = c.value;
        const QString precio = QStringLiteral("And PViTipoPrecio = ") + QString::fromUtf8(c.text)
            + QStringLiteral(" Left Outer Join genMonedas On MonID = PViMoneda");
        EXPECT_TRUE(ArmarSelectArticulo(s, true).endsWith(precio)) << c.text;
        EXPECT_TRUE(ArmarSelectCodigoBarras(s, false).endsWith(precio + QStringLiteral(" Where 1=1 "))) << c.text;
        for (bool sinVariedad : {true, false}) {
            const QString filtros = ArmarFiltros(s, sinVariedad);
            EXPECT_TRUE(filtros.startsWith(QStringLiteral(" And ArtEmpresa = ") + QString::fromUtf8(c.text)
                                           + QStringLiteral(" And ")))
                << filtros.toStdString();
        }
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
        {0, 0, false, false, " And ArtEmpresa = 7"},
        {0, 0, true, false, " And ArtEmpresa = 7"},
        {1, 0, false, false, " And ArtEmpresa = 7 And ArtEnVenta = 1"},
        {1, 0, true, false, " And ArtEmpresa = 7 And ArtEnVenta = 1"},
        {0, 1, false, false, " And ArtEmpresa = 7 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
        {0, 1, true, false, " And ArtEmpresa = 7 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
        {1, 1, false, false, " And ArtEmpresa = 7 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
        {9, 2, true, false, " And ArtEmpresa = 7 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null)"},
    };
    LookupSettings s = ejemplo();
    s.Empresa = 7;
    for (const auto &c : cases) {
        s.EnVentaObligatorio = c.enVenta;
        s.EnUsoObligatorio = c.enUso;
        s.OmitirVariedad = c.omitir;
        QString expected = QString::fromUtf8(c.expected);
        if (!c.sinVariedad)
            expected += QString::fromUtf8(generico);
        EXPECT_EQ(ArmarFiltros(s, c.sinVariedad), expected)
            << "EnVenta " << int(c.enVenta) << " EnUso " << int(c.enUso) << " Omitir " << c.omitir
            << " SinVariedad " << c.sinVariedad;
    }
}

} // namespace
