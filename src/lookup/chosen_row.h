#pragma once
// The row the user chose in the candidate list, read into the article the
// control holds. Only the values of the row and the text as typed count: no
// list, window or database is needed to read one.

#include "lookup/query_builder.h"

#include "platform/vb/variant.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace lookup {

// The article the control holds: what a lookup loads and a clear forgets.
struct ArticuloActual {
    int32_t ID = 0;
    int16_t Variedad = 0;
    QString Codigo;
    QString Nombre;
    uint8_t EnUso = 0;
    uint8_t EnVenta = 0;
    uint8_t EsCombo = 0;
    uint8_t Decimales = 0;
};

// Everything a chosen row loads. A clear replaces `articulo` only: the host
// still reads AdmitePrecioQMayor, PideSerie and the bar-code values (CB,
// CBCantidad, CBFija, CBVariable) of the last row chosen until the next row
// chosen replaces them.
struct FilaElegida {
    ArticuloActual articulo;
    uint8_t AdmitePrecioQMayor = 0;
    uint8_t PideSerie = 0;
    bool CB = false;
    double CBCantidad = 0;
    QString CBFija;
    QString CBVariable;
};

// The value of a column of the chosen row.
using ValorDeColumna = std::function<vb::Variant(Columna)>;

// Loads the chosen row into fila, reading the columns in the order the host's
// list expects to be asked. mostrar runs once code and name are loaded and the
// ID is still 0: the control writes its text box then, and a change handler
// that clears a held article finds none. A value that cannot be read (a Null
// read as text or number) ends the load with the platform's error; what was
// loaded before it stays.
void CargarFila(FilaElegida &fila, const ValorDeColumna &valor, const QString &escrito,
                const std::function<void()> &mostrar);

// What the "%" of a scale pattern stood for in the scanned code: the first
// characters for a leading "%", the last for a trailing one, nothing without
// either. Error 5 when the code is shorter than the pattern's fixed part.
QString ParteVariable(const QString &patron, const QString &escrito);

} // namespace lookup
