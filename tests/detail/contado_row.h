#pragma once
// The detail view's row of the design caption "Contado: $U 3,290", without a
// photograph.

#include "row_connection.h"

namespace vok::test {

inline Row contado()
{
    return {{"ArtCodigo", "A12"},          {"ArtNombre", "TORNILLO HEX 8MM"},
            {"ArtDescripcion", "Tornillo hexagonal de acero"},
            {"ArtFoto", vb::Variant::null()}, {"EmpPathImg", vb::Variant::null()},
            {"MonSimbolo", "$U"},          {"MonRedondeo", "#,##0"},
            {"PViPrecio", 3290.0},         {"TPrAbreviacion", "Contado"}};
}

} // namespace vok::test
