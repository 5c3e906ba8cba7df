// The advanced search: the dialog builds and checks a condition, and the
// control then searches with it instead of typed text.

#include "vok_t_articulo_p.h"

#include "lookup/statements.h"
#include "platform/ui/toolkit.h"
#include "search/frm_busqueda.h"

void vokTArticuloPrivate::BusquedaAvanzada()
{
    // Nothing of a failed search reaches the host: no message, no Error event.
    try {
        // A new dialog every time, so that no criterion of an earlier search remains.
        const auto dialogo = std::make_unique<search::frmBusqueda>();
        dialogo->mrdoCBase = mrdoConexion;
        dialogo->mstrSQLValidar = lookup::SelectBaseBusqueda(lookupSettings());
        // A control limited to articles on sale or in use locks the dialog's filter on "yes".
        if (mbytEnVentaObligatorio != 0)
            dialogo->mbytEnVenta = 1;
        if (mbytEnUsoObligatorio != 0)
            dialogo->mbytEnUso = 1;

        dialogo->Show();
        ui::toolkit().processPendingMessages();

        if (!dialogo->prmSQL.isEmpty())
            BuscarArticulo(QString(), dialogo->prmSQL);
    } catch (const std::exception &) {
    }
}
