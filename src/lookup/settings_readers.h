#pragma once
// The two settings the lookups read from the shop's database: the candidate
// list's layout (parameter FmtCabezalArticulo) and the sale price type of a
// company's price list. Neither ever fails: an unreadable setting is 0.

#include <QString>

#include <cstdint>

namespace rdo {
class rdoConnection;
}

namespace lookup {

QString SelectFormatoLista();
// The layout kept in the parameter; 0 when the table, the row or a value that
// fits a Byte is missing.
uint8_t LeerFormatoLista(rdo::rdoConnection &conexion);

QString SelectTipoPrecio(int16_t empresa, int16_t listaPrecios);
// TPrID of the first row the server returns; 0 when there is none or it
// cannot be read.
int16_t LeerTipoPrecio(rdo::rdoConnection &conexion, int16_t empresa, int16_t listaPrecios);

} // namespace lookup
