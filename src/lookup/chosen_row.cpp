// Reading the chosen row; see chosen_row.h.

#include "lookup/chosen_row.h"

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace lookup {

namespace {

// The leading numeric part of a column's text, 0 when there is none: flag
// columns may come back as text from some servers.
double numero(const vb::Variant &valor)
{
    return vb::Val(vb::CStr(valor));
}

} // namespace

QString ParteVariable(const QString &patron, const QString &escrito)
{
    const qsizetype largo = escrito.size() - patron.size() + 1;
    const bool alPrincipio = patron.startsWith(u'%');
    if (!alPrincipio && !patron.endsWith(u'%'))
        return {};
    if (largo < 0)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    return alPrincipio ? escrito.left(largo) : escrito.right(largo);
}

void CargarFila(FilaElegida &fila, const ValorDeColumna &V, const QString &escrito,
                const std::function<void()> &mostrar)
{
    ArticuloActual &articulo = fila.articulo;
    if (numero(V(Columna::Variedad)) > 0)
        articulo.Variedad = vb::CInt(V(Columna::Variedad));
    articulo.EnUso = vb::CByte(numero(V(Columna::ArtEnUso)));
    articulo.EnVenta = vb::CByte(numero(V(Columna::ArtEnVenta)));
    articulo.EsCombo = vb::CByte(numero(V(Columna::ArtEsCombo)));
    articulo.Decimales = vb::CByte(numero(V(Columna::UMeDecimales)));
    // The variety's own in-use flag counts only for an article in use.
    if (articulo.EnUso == 1 && articulo.Variedad > 0)
        articulo.EnUso = vb::CByte(numero(V(Columna::VariedadEnUso)));
    fila.AdmitePrecioQMayor = vb::CByte(numero(V(Columna::ArtValidoMayorQ)));
    articulo.Codigo = vb::CStr(V(Columna::ArtCodigo));
    articulo.Nombre = vb::CStr(V(Columna::NombreArt));

    mostrar();
    articulo.ID = vb::CLng(V(Columna::ArtID));

    fila.CB = vb::CDbl(V(Columna::Tipo)) == 2;
    if (fila.CB) {
        const QString patron = vb::CStr(V(Columna::CodigoBarra));
        fila.CBFija = vb::Replace(patron, QStringLiteral("%"), {});
        fila.CBCantidad = vb::CDbl(V(Columna::CantidadCB));
        fila.CBVariable = ParteVariable(vb::CStr(V(Columna::CodigoBarra)), escrito);
    } else {
        fila.CBCantidad = 0;
        fila.CBVariable = QString();
        fila.CBFija = QString();
    }

    fila.PideSerie = vb::CByte(V(Columna::ArtPideNroSerie));
    // The picture reference is read like every other column (a Null one fails
    // the load) though nothing keeps it; it is read last, so that such a
    // failure leaves no flag of the previous article.
    [[maybe_unused]] const QString foto = vb::CStr(V(Columna::ArtFoto));
}

} // namespace lookup
