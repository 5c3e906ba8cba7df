// Reading the list layout and the price type; see settings_readers.h.

#include "lookup/settings_readers.h"

#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"

namespace lookup {

QString SelectFormatoLista()
{
    return QStringLiteral("Select ParValor From genParametros Where ParNombre = 'FmtCabezalArticulo'");
}

uint8_t LeerFormatoLista(rdo::rdoConnection &conexion)
{
    uint8_t formato = 0;
    try {
        const auto resultado = conexion.OpenResultset(SelectFormatoLista(), rdo::rdOpenDynamic, rdo::rdConcurValues);
        if (!resultado->Eof())
            formato = vb::CByte(resultado->rdoColumns().Item(QStringLiteral("ParValor")).Value());
        resultado->Close();
    } catch (const std::exception &) {
        // A missing table or row, a Null or a value that is no layout: the
        // list gets no extra columns.
        return 0;
    }
    return formato;
}

QString SelectTipoPrecio(int16_t empresa, int16_t listaPrecios)
{
    return QStringLiteral("Select TPrID From TipoDePrecio ") + QStringLiteral("Where TPrTipo = 1 And TPrEmpresa = ") +
           QString::number(empresa) + QStringLiteral(" And TPrListaPrecio = ") + QString::number(listaPrecios);
}

int16_t LeerTipoPrecio(rdo::rdoConnection &conexion, int16_t empresa, int16_t listaPrecios)
{
    int16_t tipo = 0;
    try {
        const auto resultado =
            conexion.OpenResultset(SelectTipoPrecio(empresa, listaPrecios), rdo::rdOpenDynamic, rdo::rdConcurValues);
        if (!resultado->Eof())
            tipo = vb::CInt(resultado->rdoColumns().Item(QStringLiteral("TPrID")).Value());
        resultado->Close();
    } catch (const std::exception &) {
        // No price type: the price join then finds no price. The type read
        // before the failure, if any, is kept.
    }
    return tipo;
}

} // namespace lookup
