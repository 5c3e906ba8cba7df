// The article detail view, opened by the host or by F12 in the text box.

#include "vok_t_articulo_p.h"

#include "detail/frm_foto.h"

// Errors end the method quietly: the view is a look at the article, and
// nothing the host does next depends on it.
void vokTArticulo::MostrarDetalle(int32_t &Articulo, int16_t &Variedad)
{
    if (Articulo <= 0)
        return;
    try {
        detail::frmFoto foto;
        foto.mrdoCBase = d->mrdoConexion;
        foto.mlngArticulo = Articulo;
        foto.mintVariedad = Variedad;
        foto.Show();
    } catch (const std::exception &) {
    }
}
