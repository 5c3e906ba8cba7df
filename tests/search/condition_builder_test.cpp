#include "search/condition_builder.h"

#include "platform/vb/conversions.h"
#include "qt_printers.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace {

using search::ArmarCondicion;
using search::CondicionCampo;
using search::Criterios;
using search::EntradaCombo;
using search::FiltroCodigoBarras;
using search::FiltroUsoVenta;

const QString kConCB = QStringLiteral("ArtID In (Select Distinct(ACBArticulo) From ArticuloCodigoBarras)");
const QString kSinCB =
    QStringLiteral("Not Exists (Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)");

Criterios criterios(const QString &texto, int32_t campo, int32_t tipo, int32_t enUso, int32_t enVenta, int32_t cb)
{
    Criterios c;
    c.txtTexto = texto;
    c.cmbCampo = campo;
    c.cmbTipo = tipo;
    c.cmbEnUso = enUso;
    c.cmbEnVenta = enVenta;
    c.cmbCB = cb;
    return c;
}

// The field fragments written out, "{P}" where the pattern goes.
const std::vector<QString> &fragmentos()
{
    static const std::vector<QString> tabla{
        QStringLiteral(" ArtNombre {P}"),
        QStringLiteral(" ArtNombreCorto {P}"),
        QStringLiteral(" ArtTipo In (Select TArID From TipoArticulo Where TArNombre {P})"),
        QStringLiteral(" ArtMarca In (Select MarCodigo From Marcas Where MarNombre {P})"),
        QStringLiteral(" ArtProveedor In (Select EntID From genEntes Where EntNombre1 {P} Or EntNombre2 {P} Or EntGuardarComo {P})"),
        QStringLiteral(" ArtCodigoProveedor {P}"),
        QStringLiteral(" ArtCatDescuento In (Select CDeCodigo From CategoriaDescuento Where CDeNombre {P})"),
        QStringLiteral(" ArtUnidadMedida In (Select UMeCodigo From UnidadesMedidas Where UMeNombre {P})"),
        QStringLiteral(" ArtDescripcionCorta {P}"),
        QStringLiteral(" ArtDescripcionLarga {P}"),
    };
    return tabla;
}

QString fragmento(int campo, const QString &patron)
{
    return QString(fragmentos().at(static_cast<size_t>(campo))).replace(QStringLiteral("{P}"), patron);
}

// ---------------------------------------------------------------------------
// Whole conditions: the worked examples and the listed edge cases.

struct CasoCondicion {
    const char *nombre;
    Criterios criterios;
    QString esperado;
};

class ArmarCondicionTest : public ::testing::TestWithParam<CasoCondicion> {};

TEST_P(ArmarCondicionTest, BuildsTheExactText)
{
    EXPECT_EQ(ArmarCondicion(GetParam().criterios), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Ejemplos, ArmarCondicionTest,
    ::testing::Values(
        // «  Café O'Neil » after the OK step deleted the quote.
        CasoCondicion{"BrandContainsInUseWithoutBarCodes",
                      criterios(QStringLiteral("  Café ONeil "), 3, 3, 1, 3, 2),
                      QStringLiteral("( ArtMarca In (Select MarCodigo From Marcas Where MarNombre Like '%Café ONeil%') "
                                     "And ArtEnUso = 1) And Not Exists (Select ACBArticulo From ArticuloCodigoBarras "
                                     "Where ACBArticulo = ArtID)")},
        CasoCondicion{"DialogDefaults", Criterios{QStringLiteral("tornillo")},
                      QStringLiteral("( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)")},
        CasoCondicion{"DialogDefaultsEmptyText", Criterios{},
                      QStringLiteral("ArtEnUso = 1 And ArtEnVenta = 1")},
        CasoCondicion{"BlanksOnlyNoFilter", criterios(QStringLiteral("   "), 4, 1, 3, 3, 3),
                      QStringLiteral("True")},
        CasoCondicion{"EmptyNoFilter", criterios(QString(), 0, 3, 3, 3, 3), QStringLiteral("True")},
        CasoCondicion{"BlanksOnlyIgnoresFieldAndMatch", criterios(QStringLiteral("  "), 10, 99, 2, 2, 3),
                      QStringLiteral("ArtEnUso = 0 And ArtEnVenta = 0")},
        CasoCondicion{"EmptyWithFieldOutOfRange", criterios(QString(), -5, 0, 1, 3, 3),
                      QStringLiteral("ArtEnUso = 1")},
        CasoCondicion{"OnSaleOnlyNoDoubledAnd", criterios(QStringLiteral("x"), 0, 3, 3, 1, 3),
                      QStringLiteral("( ArtNombre Like '%x%' And ArtEnVenta = 1)")},
        CasoCondicion{"OnlyWithBarCodes", criterios(QString(), 0, 3, 3, 3, 1), kConCB},
        CasoCondicion{"OnlyWithoutBarCodes", criterios(QStringLiteral(" "), 0, 3, 3, 3, 2), kSinCB},
        CasoCondicion{"EmptyFiltersAndBarCodes", criterios(QString(), 0, 3, 1, 2, 1),
                      QStringLiteral("ArtEnUso = 1 And ArtEnVenta = 0 And ") + kConCB},
        CasoCondicion{"TextNoFilterWithBarCodes", criterios(QStringLiteral("a"), 1, 2, 3, 3, 1),
                      QStringLiteral("( ArtNombreCorto = 'a') And ") + kConCB},
        CasoCondicion{"TextNoFilterAtAll", criterios(QStringLiteral("a"), 5, 1, 3, 3, 3),
                      QStringLiteral("( ArtCodigoProveedor Like 'a%')")},
        // A typed % stays in the pattern and acts as a wildcard, and so does _.
        CasoCondicion{"PercentBeginsWith", criterios(QStringLiteral("50%"), 0, 1, 3, 3, 3),
                      QStringLiteral("( ArtNombre Like '50%%')")},
        CasoCondicion{"UnderscoreContains", criterios(QStringLiteral("a_b"), 9, 3, 3, 3, 3),
                      QStringLiteral("( ArtDescripcionLarga Like '%a_b%')")},
        // Blanks inside the text stay; only the ends are trimmed.
        CasoCondicion{"InnerBlanksKept", criterios(QStringLiteral("  tuerca  M8 "), 8, 2, 3, 3, 3),
                      QStringLiteral("( ArtDescripcionCorta = 'tuerca  M8')")},
        // Trimming removes spaces only; a tab is text.
        CasoCondicion{"TabIsNotABlank", criterios(QStringLiteral("\t"), 0, 2, 3, 3, 3),
                      QStringLiteral("( ArtNombre = '\t')")},
        // A field code outside the list leaves the field part empty.
        CasoCondicion{"FieldOutOfRange", criterios(QStringLiteral("x"), 11, 3, 1, 3, 3),
                      QStringLiteral("( And ArtEnUso = 1)")},
        CasoCondicion{"FieldNegative", criterios(QStringLiteral("x"), -1, 3, 3, 3, 2),
                      QStringLiteral("() And ") + kSinCB},
        // Filter codes outside 1 to 3 set no filter.
        CasoCondicion{"FilterCodesOutOfRange", criterios(QString(), 0, 3, 0, 4, 7), QStringLiteral("True")}),
    [](const auto &info) { return std::string(info.param.nombre); });

// A text made only of single quotes is emptied by the OK step before the
// builder sees it, and then counts as no text.
TEST(ArmarCondicionQuotes, QuotesOnlyTextAfterTheOkStepIsNoText)
{
    const QString tecleado = QStringLiteral("'''");
    const Criterios c = criterios(vb::Replace(tecleado, QStringLiteral("'"), QString()), 3, 3, 2, 3, 3);
    EXPECT_EQ(ArmarCondicion(c), QStringLiteral("ArtEnUso = 0"));
}

// ---------------------------------------------------------------------------
// Each field with each kind of match, no filters: "(" fragment ")".

TEST(ArmarCondicionCampos, EachFieldWithEachMatch)
{
    struct Tipo {
        int32_t codigo;
        QString patron;
    };
    const std::vector<Tipo> tipos{
        {1, QStringLiteral("Like 'pala%'")},
        {2, QStringLiteral("= 'pala'")},
        {3, QStringLiteral("Like '%pala%'")},
        {0, QStringLiteral("pala")},   // outside the list: the bare text
        {4, QStringLiteral("pala")},
    };
    for (int32_t campo = 0; campo <= 9; ++campo) {
        for (const Tipo &tipo : tipos) {
            SCOPED_TRACE(testing::Message() << "campo " << campo << " tipo " << tipo.codigo);
            const Criterios c = criterios(QStringLiteral(" pala "), campo, tipo.codigo, 3, 3, 3);
            EXPECT_EQ(ArmarCondicion(c), QStringLiteral("(") + fragmento(campo, tipo.patron) + QStringLiteral(")"));
        }
    }
}

// Field 10: ten fragments in list order joined by " OR ", inside their own parentheses.
TEST(ArmarCondicionCampos, AllFieldsEqualsWrittenOut)
{
    const QString p = QStringLiteral("= 'x'");
    const QString esperado = QStringLiteral(
        "(( ArtNombre = 'x' OR  ArtNombreCorto = 'x' OR  ArtTipo In (Select TArID From TipoArticulo Where TArNombre = 'x')"
        " OR  ArtMarca In (Select MarCodigo From Marcas Where MarNombre = 'x')"
        " OR  ArtProveedor In (Select EntID From genEntes Where EntNombre1 = 'x' Or EntNombre2 = 'x' Or EntGuardarComo = 'x')"
        " OR  ArtCodigoProveedor = 'x'"
        " OR  ArtCatDescuento In (Select CDeCodigo From CategoriaDescuento Where CDeNombre = 'x')"
        " OR  ArtUnidadMedida In (Select UMeCodigo From UnidadesMedidas Where UMeNombre = 'x')"
        " OR  ArtDescripcionCorta = 'x' OR  ArtDescripcionLarga = 'x') And ArtEnUso = 1) And ");
    EXPECT_EQ(ArmarCondicion(criterios(QStringLiteral("x"), 10, 2, 1, 3, 1)), esperado + kConCB);
    EXPECT_EQ(ArmarCondicion(criterios(QStringLiteral("x"), 10, 2, 1, 3, 1)).count(p), 12);
}

TEST(ArmarCondicionCampos, AllFieldsWithEachMatch)
{
    const std::vector<std::pair<int32_t, QString>> tipos{
        {1, QStringLiteral("Like 'k%'")}, {2, QStringLiteral("= 'k'")},
        {3, QStringLiteral("Like '%k%'")}, {-1, QStringLiteral("k")}};
    for (const auto &[tipo, patron] : tipos) {
        SCOPED_TRACE(testing::Message() << "tipo " << tipo);
        QStringList partes;
        for (int campo = 0; campo <= 9; ++campo)
            partes << fragmento(campo, patron);
        const QString esperado = QStringLiteral("((") + partes.join(QStringLiteral(" OR "))
            + QStringLiteral(") And ArtEnUso = 0 And ArtEnVenta = 1)");
        EXPECT_EQ(ArmarCondicion(criterios(QStringLiteral("k "), 10, tipo, 2, 1, 3)), esperado);
    }
}

// ---------------------------------------------------------------------------
// CondicionCampo on its own.

TEST(CondicionCampoTest, FragmentsAndCodesOutsideTheList)
{
    const QString patron = QStringLiteral("Like 'Q%'");
    for (int32_t campo = 0; campo <= 9; ++campo) {
        SCOPED_TRACE(campo);
        const QString resultado = CondicionCampo(campo, patron);
        EXPECT_EQ(resultado, fragmento(campo, patron));
        EXPECT_TRUE(resultado.startsWith(u' '));
    }
    for (const int32_t campo : {-1, 10, 11, 1000}) {
        SCOPED_TRACE(campo);
        EXPECT_EQ(CondicionCampo(campo, patron), QString());
    }
    // The pattern is appended as given, even when empty.
    EXPECT_EQ(CondicionCampo(3, QString()),
              QStringLiteral(" ArtMarca In (Select MarCodigo From Marcas Where MarNombre )"));
}

// ---------------------------------------------------------------------------
// The filters, every combination with both flags.

struct CasoFiltro {
    int32_t codigoA;
    int32_t codigoB;
    QString sinPrefijo;  // "" when nothing filters
};

TEST(FiltroUsoVentaTest, EveryCombination)
{
    const std::vector<CasoFiltro> casos{
        {1, 1, QStringLiteral("ArtEnUso = 1 And ArtEnVenta = 1")},
        {1, 2, QStringLiteral("ArtEnUso = 1 And ArtEnVenta = 0")},
        {1, 3, QStringLiteral("ArtEnUso = 1")},
        {2, 1, QStringLiteral("ArtEnUso = 0 And ArtEnVenta = 1")},
        {2, 2, QStringLiteral("ArtEnUso = 0 And ArtEnVenta = 0")},
        {2, 3, QStringLiteral("ArtEnUso = 0")},
        {3, 1, QStringLiteral("ArtEnVenta = 1")},
        {3, 2, QStringLiteral("ArtEnVenta = 0")},
        {3, 3, QString()},
        {0, 4, QString()},
        {-1, 2, QStringLiteral("ArtEnVenta = 0")},
        {1, 0, QStringLiteral("ArtEnUso = 1")},
    };
    for (const CasoFiltro &caso : casos) {
        SCOPED_TRACE(testing::Message() << "uso " << caso.codigoA << " venta " << caso.codigoB);
        const Criterios c = criterios(QStringLiteral("ignorado"), 0, 3, caso.codigoA, caso.codigoB, 1);
        EXPECT_EQ(FiltroUsoVenta(c, true), caso.sinPrefijo);
        EXPECT_EQ(FiltroUsoVenta(c, false),
                  caso.sinPrefijo.isEmpty() ? QString() : QStringLiteral(" And ") + caso.sinPrefijo);
    }
}

TEST(FiltroCodigoBarrasTest, EveryCode)
{
    const std::vector<std::pair<int32_t, QString>> casos{
        {1, kConCB}, {2, kSinCB}, {3, QString()}, {0, QString()}, {4, QString()}};
    for (const auto &[codigo, sinPrefijo] : casos) {
        SCOPED_TRACE(codigo);
        // Only the bar-code combo is read.
        const Criterios c = criterios(QStringLiteral("x"), 0, 1, 1, 1, codigo);
        EXPECT_EQ(FiltroCodigoBarras(c, true), sinPrefijo);
        EXPECT_EQ(FiltroCodigoBarras(c, false),
                  sinPrefijo.isEmpty() ? QString() : QStringLiteral(" And ") + sinPrefijo);
    }
}

// ---------------------------------------------------------------------------
// The combo entries the dialog adds, in list order.

template <size_t N>
std::vector<std::pair<int32_t, int32_t>> pares(const std::array<EntradaCombo, N> &entradas)
{
    std::vector<std::pair<int32_t, int32_t>> r;
    for (const EntradaCombo &e : entradas)
        r.emplace_back(e.codigo, e.texto);
    return r;
}

TEST(EntradasCombo, CodesAndTextNumbersInListOrder)
{
    using Pares = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(pares(search::kEntradasCampo), (Pares{{0, 851}, {1, 852}, {2, 853}, {3, 854}, {4, 855}, {5, 856},
                                                    {6, 864}, {7, 865}, {8, 857}, {9, 858}, {10, 859}}));
    EXPECT_EQ(pares(search::kEntradasTipo), (Pares{{1, 860}, {2, 861}, {3, 862}}));
    EXPECT_EQ(pares(search::kEntradasEnUso), (Pares{{1, 866}, {2, 867}, {3, 868}}));
    EXPECT_EQ(pares(search::kEntradasEnVenta), (Pares{{1, 866}, {2, 867}, {3, 868}}));
    EXPECT_EQ(pares(search::kEntradasCB), (Pares{{1, 869}, {2, 870}, {3, 868}}));
}

} // namespace
