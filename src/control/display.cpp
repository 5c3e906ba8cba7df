// The display text of the chosen article.

#include "vok_t_articulo.h"

#include "platform/vb/format.h"

// Writes the current article into the text box as code, name or both. The
// text box's change handling runs as for any other change of its text.
void vokTArticulo::MostrarArticulo()
{
    try {
        const QString codigo = mstrFormatCodigo.isEmpty() ? mstrCodigo : vb::Format(mstrCodigo, mstrFormatCodigo);
        switch (mlngFormatDisplay) {
        case afd_Nombre:
            m_tArticulo->setText(mstrNombre);
            break;
        case afd_NombreCodigo:
            m_tArticulo->setText(mstrNombre + u' ' + codigo);
            break;
        case afd_Codigo:
            m_tArticulo->setText(codigo);
            break;
        case afd_CodigoNombre:
            m_tArticulo->setText(codigo + u' ' + mstrNombre);
            break;
        default:
            break;
        }
    } catch (const std::exception &) {
        // A display that cannot be written leaves the text as it was; the
        // article itself is held all the same.
    }
}
