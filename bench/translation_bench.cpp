// Translating a lookup statement for SQLite happens on every lookup at the
// till. Baseline: tokenizing the same text, the least any translation must do.

#include "platform/rdo/tsql/tsql_translator.h"

#include <benchmark/benchmark.h>

namespace {

// The statement of a typed-text lookup: four selects glued by UNION ALL.
const QString LookupStatement = QStringLiteral(
    "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, "
    "ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo  "
    "Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like "
    "'LECHE%ENT%' OR ArtNombre Like 'LECHE%ENT%' OR ArtNombreCorto Like 'LECHE%ENT%') And ArtEmpresa = 1 UNION ALL "
    "Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, "
    "ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) "
    "as NombreArt From Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  Inner "
    "Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like "
    "'LECHE%ENT%' Or ArtNombre + AVaNombre like 'LECHE%ENT%') And ArtEmpresa = 1 UNION ALL Select Top 1 2 As Tipo, "
    "ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, "
    "ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, IsNull(ArtNombre, '') as NombreArt From Articulo Inner "
    "Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID  Where True And 'LECHE ENT' Like "
    "ACBCodigo Order By NombreArt, ArtCodigo");

const rdo::TranslationOptions Options =
    rdo::textColumns({QStringLiteral("ArtNombre"), QStringLiteral("ArtNombreCorto"), QStringLiteral("AVaNombre"),
                      QStringLiteral("ArtCodigo"), QStringLiteral("ACBCodigo")});

void BM_Baseline_Tokenize(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rdo::tokenizeTsql(LookupStatement));
}
BENCHMARK(BM_Baseline_Tokenize);

void BM_TranslateLookupStatement(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rdo::translateForSqlite(LookupStatement, Options));
}
BENCHMARK(BM_TranslateLookupStatement);

void BM_CheckSeveralStatements(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rdo::holdsSeveralStatements(LookupStatement));
}
BENCHMARK(BM_CheckSeveralStatements);

} // namespace

BENCHMARK_MAIN();
