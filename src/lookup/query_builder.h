#pragma once
// The SQL text with which vokTArticulo finds articles: the column list, the
// two selects (match by code or name, match by bar code) and the trailing
// filter conditions. Every select returns the same columns in the same order,
// so that they can be joined with UNION ALL and the candidate list can read
// the rows by position. The builders only read the settings below.

#include <QString>

#include <cstdint>

namespace lookup {

// The columns of every lookup row, by position: the column list below writes
// them in this order, the candidate list reads the chosen row and sizes its
// columns by these positions, and the plans find the name, code, article and
// variety in them.
enum class Columna : int16_t {
    Tipo = 0,        // 1 matched by code or name, 2 by bar code
    CodigoBarra,     // the bar-code pattern of a Tipo 2 row
    CantidadCB,      // the quantity the bar code stands for
    ArtFoto,
    ArtPideNroSerie,
    ArtID,
    Variedad,        // AVaID, 0 in an article row
    ArtEnUso,
    ArtEnVenta,
    ArtEsCombo,
    UMeDecimales,
    VariedadEnUso,   // AVaEnUso, 0 in an article row
    ArtValidoMayorQ,
    ArtCodigo,
    NombreArt,
    // The layout columns (price, currency, stock, brand) start here.
    PrimeraDelFormato,
};

constexpr int16_t posicion(Columna columna)
{
    return static_cast<int16_t>(columna);
}

// Columns of every row that precede ArtID: the list's header begins with as
// many separators.
constexpr int16_t ColumnasPrevias = posicion(Columna::ArtID);

// How many columns a row of the layout has: 15, then 2, 3 or 5 more in layouts 1 to 3.
int16_t ColumnasDelFormato(uint8_t formatoLista);

// The control's settings that shape the lookup statements.
struct LookupSettings {
    int32_t NombreADesplegar = 0;  // 0 full name, any other value the short name
    uint8_t FormatoLista = 0;      // list layout: 1 to 3 add columns and joins
    int16_t mintTipoPrecio = 0;    // price type of the current price list
    int16_t Empresa = 0;           // company the articles must belong to
    uint8_t EnVentaObligatorio = 0;  // non-zero: articles on sale only
    uint8_t EnUsoObligatorio = 0;    // non-zero: articles (and varieties) in use only
    bool OmitirVariedad = false;     // the control works without varieties
};

// The column list, without the leading "Select ". Tipo (1 matched by code or
// name, 2 by bar code) is written into column 0 of every row.
QString ArmarCampos(const LookupSettings &settings, bool SinVariedad, uint8_t Tipo);

// "Select " + the columns of Tipo 1 + the from and join clauses; no where clause.
QString ArmarSelectArticulo(const LookupSettings &settings, bool SinVariedad);

// "Select " + the columns of Tipo 2 + the from and join clauses + " Where 1=1 ".
QString ArmarSelectCodigoBarras(const LookupSettings &settings, bool SinVariedad);

// Conditions each beginning with " And ", to follow a where clause.
QString ArmarFiltros(const LookupSettings &settings, bool SinVariedad);

} // namespace lookup
