// The display text of the chosen article.

#include "vok_t_articulo_p.h"

#include "platform/vb/format.h"

// Writes the current article into the text box as code, name or both. The
// text box's change handling runs as for any other change of its text.
void vokTArticulo::MostrarArticulo()
{
    const lookup::ArticuloActual &articulo = d->fila.articulo;
    const QString &formato = d->mstrFormatCodigo;
    ui::TextBox &texto = *d->m_tArticulo;
    try {
        const QString codigo = formato.isEmpty() ? articulo.Codigo : vb::Format(articulo.Codigo, formato);
        switch (d->mlngFormatDisplay) {
        case afd_Nombre:
            texto.setText(articulo.Nombre);
            break;
        case afd_NombreCodigo:
            texto.setText(articulo.Nombre + u' ' + codigo);
            break;
        case afd_Codigo:
            texto.setText(codigo);
            break;
        case afd_CodigoNombre:
            texto.setText(codigo + u' ' + articulo.Nombre);
            break;
        default:
            break;
        }
    } catch (const std::exception &) {
        // A display that cannot be written leaves the text as it was; the
        // article itself is held all the same.
    }
}
