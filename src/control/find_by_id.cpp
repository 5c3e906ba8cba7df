// Finding an article the host already knows by identifier, and the two
// settings the lookups read from the host database, with the hourglass.

#include "vok_t_articulo_p.h"

#include "lookup/settings_readers.h"
#include "lookup/statements.h"
#include "platform/ui/constants.h"
#include "platform/ui/toolkit.h"

namespace {

// The hourglass while the database is read; the default pointer again however
// the read ends.
class RelojDeArena {
public:
    RelojDeArena() { ui::toolkit().screen().setMousePointer(ui::vbHourglass); }
    ~RelojDeArena() { ui::toolkit().screen().setMousePointer(ui::vbDefault); }
    RelojDeArena(const RelojDeArena &) = delete;
    RelojDeArena &operator=(const RelojDeArena &) = delete;
};

} // namespace

lookup::LookupSettings vokTArticuloPrivate::lookupSettings() const
{
    lookup::LookupSettings settings;
    settings.NombreADesplegar = mlngNombreADesplegar;
    settings.FormatoLista = q.FormatoLista();
    settings.mintTipoPrecio = mintTipoPrecio;
    settings.Empresa = mintEmpresa;
    settings.EnVentaObligatorio = mbytEnVentaObligatorio;
    settings.EnUsoObligatorio = mbytEnUsoObligatorio;
    settings.OmitirVariedad = mblnOmitirVariedad;
    return settings;
}

void vokTArticuloPrivate::leerFormatoSiFalta()
{
    if (!formatoLista)
        formatoLista = LeerFormatoLista();
}

// Without a connection there is nothing to read: layout 0, as for any failure.
uint8_t vokTArticuloPrivate::LeerFormatoLista()
{
    const RelojDeArena reloj;
    return mrdoConexion ? lookup::LeerFormatoLista(*mrdoConexion) : 0;
}

int16_t vokTArticuloPrivate::LeerTipoPrecio(int16_t iEmpresa)
{
    const RelojDeArena reloj;
    return mrdoConexion ? lookup::LeerTipoPrecio(*mrdoConexion, iEmpresa, mintListaPrecios) : 0;
}

// Errors reach the host as the failure of the call: the article is then as
// the candidate list left it, cleared at least.
void vokTArticulo::FindArticuloByID(int32_t iID, int16_t &iVariedad)
{
    d->leerFormatoSiFalta();
    d->MostrarVariedad(ModoVariedad::Oculto);
    d->MostrarLista(lookup::SelectDeIdentificador(d->lookupSettings(), iID, iVariedad));
    // After a find by identifier the check box, if offered, has the short caption.
    d->MostrarVariedad(d->mblnConVariedades ? ModoVariedad::Corto : ModoVariedad::Oculto);
}

void vokTArticulo::FindArticuloByID(int32_t iID)
{
    int16_t variedad = 0;
    FindArticuloByID(iID, variedad);
}
