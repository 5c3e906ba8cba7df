#pragma once
// The condition of the advanced search dialog (frmBusqueda): the criteria the
// user picked turned into one SQL boolean expression over the columns of
// Articulo. The expression stands either right after "Where " or after
// " And " in a statement that reads from Articulo; with no criterion at all it
// is "True". The builder only reads the criteria and never touches the
// database.
//
// Also here: the entries of the dialog's combos (item code and language text
// number, in list order), which the dialog adds when it fills them.

#include <QString>

#include <array>
#include <cstdint>

namespace search {

// The criteria as the dialog holds them when OK is pressed. The combos are
// read by the item code of their selected entry, never by caption or index.
struct Criterios {
    QString txtTexto;        // the text as typed; single quotes already deleted, trimmed here
    int32_t cmbCampo = 0;    // field searched: 0 to 9 one field, 10 all of them
    int32_t cmbTipo = 3;     // kind of match: 1 begins with, 2 equals, 3 contains
    int32_t cmbEnUso = 1;    // in use: 1 yes, 2 no, 3 either
    int32_t cmbEnVenta = 1;  // on sale: 1 yes, 2 no, 3 either
    int32_t cmbCB = 3;       // bar codes: 1 with, 2 without, 3 either
};

// One entry of a combo: the item code stored with it and the number of the
// language text shown as its caption.
struct EntradaCombo {
    int32_t codigo;
    int32_t texto;
};

// Item code of the cmbCampo entry that searches every other field.
inline constexpr int32_t kCampoTodos = 10;

// cmbCampo: the position equals the item code. The text numbers are not in
// code order (6 and 7 use 864 and 865, 8 to 10 use 857 to 859).
inline constexpr std::array<EntradaCombo, 11> kEntradasCampo{{
    {0, 851},   // article name
    {1, 852},   // short name
    {2, 853},   // article type, by type name
    {3, 854},   // brand, by brand name
    {4, 855},   // supplier, by any of its three names
    {5, 856},   // supplier's article code
    {6, 864},   // discount category, by name
    {7, 865},   // unit of measure, by name
    {8, 857},   // short description
    {9, 858},   // long description
    {10, 859},  // all of the above
}};

// cmbTipo: begins with, equals, contains.
inline constexpr std::array<EntradaCombo, 3> kEntradasTipo{{{1, 860}, {2, 861}, {3, 862}}};

// cmbEnUso and cmbEnVenta: yes, no, no filter.
inline constexpr std::array<EntradaCombo, 3> kEntradasEnUso{{{1, 866}, {2, 867}, {3, 868}}};
inline constexpr std::array<EntradaCombo, 3> kEntradasEnVenta{{{1, 866}, {2, 867}, {3, 868}}};

// cmbCB: with bar codes, without bar codes, no filter.
inline constexpr std::array<EntradaCombo, 3> kEntradasCB{{{1, 869}, {2, 870}, {3, 868}}};

// The whole condition. Shapes, with E the in-use/on-sale part and B the
// bar-code part:
//   empty text:  E | E " And " B | B | "True"
//   field 0-9:   "(" fragment [" And " E] ")" [" And " B]
//   field 10:    "((" f0 " OR " ... " OR " f9 ")" [" And " E] ")" [" And " B]
// An empty text (after trimming spaces) ignores field and kind of match.
// Returns "" if anything fails while building.
QString ArmarCondicion(const Criterios &criterios);

// The fragment for one searchable field (codes 0 to 9) with the pattern
// appended where the column is compared; "" for any other code. Every
// fragment begins with a blank.
QString CondicionCampo(const int32_t &campo, const QString &patron);

// The in-use / on-sale part: "" when neither filters, else the conditions
// joined by " And ", preceded by " And " unless nadaAntes is true.
QString FiltroUsoVenta(const Criterios &criterios, const bool &nadaAntes);

// The bar-code part, with the same convention for nadaAntes.
QString FiltroCodigoBarras(const Criterios &criterios, const bool &nadaAntes);

} // namespace search
