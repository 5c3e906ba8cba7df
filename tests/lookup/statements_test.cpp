// The lookup statements the control runs, built from settings and text alone.

#include "lookup/statements.h"

#include "named_rows.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using vok::test::PrintTo;

using lookup::LookupSettings;

// Full name, layout 0, company 1, nothing obligatory, varieties wanted.
LookupSettings base()
{
    LookupSettings s;
    s.Empresa = 1;
    return s;
}

LookupSettings sinVariedades()
{
    LookupSettings s = base();
    s.OmitirVariedad = true;
    return s;
}

struct Statement {
    const char *name;
    std::function<QString()> build;
    // The whole statement, or a piece it must contain when `whole` is false.
    QString expected;
    bool whole = true;
};

class LookupStatement : public ::testing::TestWithParam<Statement> {};

TEST_P(LookupStatement, IsBuiltAsTheShopExpects)
{
    const QString sql = GetParam().build();
    if (GetParam().whole)
        EXPECT_EQ(sql, GetParam().expected);
    else
        EXPECT_TRUE(sql.contains(GetParam().expected)) << sql.toStdString();
}

// «LECHE ENT» typed on a control of company 1 with layout 0, the host's
// normalisation leaving the text as typed.
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

QString texto(const char *typed, const LookupSettings &s = base())
{
    return lookup::SelectDeTextoEscrito(s, QString::fromUtf8(typed), QString::fromUtf8(typed));
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, LookupStatement,
    ::testing::Values(
        Statement{"TypedTextLecheEnt", [] { return texto("LECHE ENT"); }, LecheEnt},
        Statement{"BlanksOnlyMatchEverything", [] { return texto("   "); }, "ArtCodigo like '%%%%'", false},
        Statement{"BlanksOnlyBarCodeOfLengthZero", [] { return texto("   "); },
                  "And '' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 0)", false},
        Statement{"StarIsAWildcard", [] { return texto("ABC*12"); }, "ArtNombre Like 'ABC%12%'", false},
        Statement{"StarStaysInTheBarCode", [] { return texto("ABC*12"); },
                  "And 'ABC*12' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 6)", false},
        Statement{"QuoteLeavesThePattern", [] { return texto("O'BRIEN"); }, "ArtNombreCorto Like 'OBRIEN%'", false},
        Statement{"QuoteIsDoubledInTheBarCode", [] { return texto("O'BRIEN"); },
                  "And 'O''BRIEN' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 7)", false},
        Statement{"BarCodeIsTrimmed", [] { return texto(" 7790 "); },
                  "And '7790' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 4)", false},
        Statement{"NormalisedTextMakesThePattern",
                  [] { return lookup::SelectDeTextoEscrito(base(), "leche", "LÉCHE"); }, "ArtNombre Like 'leche%'",
                  false},
        Statement{"WithoutVarietiesBranchesAandC",
                  [] {
                      const QString sql = texto("TORNILLO", sinVariedades());
                      return QString::number(sql.count("UNION ALL")) + (sql.contains("AVaNombre") ? " B" : "") +
                             (sql.contains("Or 1 = 1)") ? " A" : "");
                  },
                  "1 A"},
        Statement{"SearchBase",
                  [] {
                      LookupSettings s = sinVariedades();
                      s.Empresa = 3;
                      s.EnVentaObligatorio = 1;
                      s.EnUsoObligatorio = 1;
                      return lookup::SelectBaseBusqueda(s);
                  },
                  "Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 3 And ArtEnVenta = 1 And ArtEnUso = "
                  "1 And (ArtNoUtilizarGenerico = 0 Or 1= 1)"},
        Statement{"VarietiesProbe", [] { return lookup::SondeoDeVariedades(57); },
                  "Select Top 1 * From ArticuloVariedad Where AVaArticulo = 57"}),
    vok::test::byName);

} // namespace
