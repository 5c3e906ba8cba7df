#include "search/condition_builder.h"

#include "named_rows.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

using search::ArmarCondicion;
using search::Criterios;
using vok::test::PrintTo;

const QString kConCB = QStringLiteral("ArtID In (Select Distinct(ACBArticulo) From ArticuloCodigoBarras)");
const QString kSinCB =
    QStringLiteral("Not Exists (Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)");

Criterios criterios(const QString &texto, int32_t campo, int32_t tipo, int32_t enUso, int32_t enVenta, int32_t cb)
{
    return Criterios{texto, campo, tipo, enUso, enVenta, cb};
}

// Whole conditions as the dialog hands them back: the worked examples, each
// field's fragment, the filters and the edge cases.
struct CasoCondicion {
    const char *name;
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
        CasoCondicion{"BrandContainsInUseWithoutBarCodes", criterios(u"  Café ONeil "_qs, 3, 3, 1, 3, 2),
                      u"( ArtMarca In (Select MarCodigo From Marcas Where MarNombre Like '%Café ONeil%') "
                      "And ArtEnUso = 1) And "_qs + kSinCB},
        CasoCondicion{"DialogDefaults", Criterios{u"tornillo"_qs},
                      u"( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)"_qs},
        CasoCondicion{"DialogDefaultsEmptyText", Criterios{}, u"ArtEnUso = 1 And ArtEnVenta = 1"_qs},
        // Every field at once: ten fragments in list order joined by " OR ".
        CasoCondicion{"AllFieldsEquals", criterios(u"x"_qs, 10, 2, 1, 3, 1),
                      u"(( ArtNombre = 'x' OR  ArtNombreCorto = 'x' OR  ArtTipo In (Select TArID From TipoArticulo "
                      "Where TArNombre = 'x') OR  ArtMarca In (Select MarCodigo From Marcas Where MarNombre = 'x')"
                      " OR  ArtProveedor In (Select EntID From genEntes Where EntNombre1 = 'x' Or EntNombre2 = 'x' "
                      "Or EntGuardarComo = 'x') OR  ArtCodigoProveedor = 'x'"
                      " OR  ArtCatDescuento In (Select CDeCodigo From CategoriaDescuento Where CDeNombre = 'x')"
                      " OR  ArtUnidadMedida In (Select UMeCodigo From UnidadesMedidas Where UMeNombre = 'x')"
                      " OR  ArtDescripcionCorta = 'x' OR  ArtDescripcionLarga = 'x') And ArtEnUso = 1) And "_qs
                          + kConCB},
        CasoCondicion{"SupplierBeginsWith", criterios(u"pala"_qs, 4, 1, 3, 3, 3),
                      u"( ArtProveedor In (Select EntID From genEntes Where EntNombre1 Like 'pala%' Or EntNombre2 "
                      "Like 'pala%' Or EntGuardarComo Like 'pala%'))"_qs},
        // A kind of match outside the list puts the bare text after the field.
        CasoCondicion{"MatchOutOfRangeBareText", criterios(u" pala "_qs, 0, 4, 3, 3, 3), u"( ArtNombre pala)"_qs},
        CasoCondicion{"BlanksOnlyNoFilter", criterios(u"   "_qs, 4, 1, 3, 3, 3), u"True"_qs},
        CasoCondicion{"EmptyNoFilter", criterios(QString(), 0, 3, 3, 3, 3), u"True"_qs},
        CasoCondicion{"BlanksOnlyIgnoresFieldAndMatch", criterios(u"  "_qs, 10, 99, 2, 2, 3),
                      u"ArtEnUso = 0 And ArtEnVenta = 0"_qs},
        CasoCondicion{"EmptyWithFieldOutOfRange", criterios(QString(), -5, 0, 1, 3, 3), u"ArtEnUso = 1"_qs},
        CasoCondicion{"OnSaleOnlyNoDoubledAnd", criterios(u"x"_qs, 0, 3, 3, 1, 3),
                      u"( ArtNombre Like '%x%' And ArtEnVenta = 1)"_qs},
        CasoCondicion{"NotInUseOnSale", criterios(u"k "_qs, 1, 3, 2, 1, 3),
                      u"( ArtNombreCorto Like '%k%' And ArtEnUso = 0 And ArtEnVenta = 1)"_qs},
        CasoCondicion{"OnlyWithBarCodes", criterios(QString(), 0, 3, 3, 3, 1), kConCB},
        CasoCondicion{"OnlyWithoutBarCodes", criterios(u" "_qs, 0, 3, 3, 3, 2), kSinCB},
        CasoCondicion{"EmptyFiltersAndBarCodes", criterios(QString(), 0, 3, 1, 2, 1),
                      u"ArtEnUso = 1 And ArtEnVenta = 0 And "_qs + kConCB},
        CasoCondicion{"TextNoFilterWithBarCodes", criterios(u"a"_qs, 1, 2, 3, 3, 1),
                      u"( ArtNombreCorto = 'a') And "_qs + kConCB},
        CasoCondicion{"TextNoFilterAtAll", criterios(u"a"_qs, 5, 1, 3, 3, 3), u"( ArtCodigoProveedor Like 'a%')"_qs},
        // A typed % stays in the pattern and acts as a wildcard, and so does _.
        CasoCondicion{"PercentBeginsWith", criterios(u"50%"_qs, 0, 1, 3, 3, 3), u"( ArtNombre Like '50%%')"_qs},
        CasoCondicion{"UnderscoreContains", criterios(u"a_b"_qs, 9, 3, 3, 3, 3),
                      u"( ArtDescripcionLarga Like '%a_b%')"_qs},
        // Blanks inside the text stay; only the ends are trimmed, and only spaces.
        CasoCondicion{"InnerBlanksKept", criterios(u"  tuerca  M8 "_qs, 8, 2, 3, 3, 3),
                      u"( ArtDescripcionCorta = 'tuerca  M8')"_qs},
        CasoCondicion{"TabIsNotABlank", criterios(u"\t"_qs, 0, 2, 3, 3, 3), u"( ArtNombre = '\t')"_qs},
        // A field code outside the list leaves the field part empty.
        CasoCondicion{"FieldOutOfRange", criterios(u"x"_qs, 11, 3, 1, 3, 3), u"( And ArtEnUso = 1)"_qs},
        CasoCondicion{"FieldNegative", criterios(u"x"_qs, -1, 3, 3, 3, 2), u"() And "_qs + kSinCB},
        // Filter codes outside 1 to 3 set no filter.
        CasoCondicion{"FilterCodesOutOfRange", criterios(QString(), 0, 3, 0, 4, 7), u"True"_qs},
        CasoCondicion{"InUseCodeOutOfRangeOnSaleKept", criterios(QString(), 0, 3, -1, 2, 3), u"ArtEnVenta = 0"_qs},
        // A text of single quotes only is emptied by the OK step: no text.
        CasoCondicion{"QuotesOnlyTextAfterTheOkStep", criterios(QString(), 3, 3, 2, 3, 3), u"ArtEnUso = 0"_qs}),
    vok::test::byName);

} // namespace
