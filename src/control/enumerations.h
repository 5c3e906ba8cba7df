#pragma once
// The control's public enumerations.

#include <cstdint>

// What the text box shows for a chosen article.
enum qs_ArtFormatDisplay : int32_t {
    afd_Nombre = 1,
    afd_NombreCodigo = 2,
    afd_Codigo = 3,
    afd_CodigoNombre = 4,
};

// Which name column the lookups return.
enum qs_ArtNameDisplay : int32_t {
    and_Nombre = 0,
    and_NombreCorto = 1,
};
