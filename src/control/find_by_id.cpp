// Finding an article the host already knows by identifier, the search
// dialog's base statement, and the two settings read from the host database.

#include "vok_t_articulo.h"

#include "lookup/query_builder.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/constants.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace {

constexpr uint8_t FormatoSinLeer = 255;

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

rdo::rdoConnection &vokTArticulo::conexion() const
{
    if (!mrdoConexion)
        throw vb::Error::standard(vb::err::ObjectNotSet);
    return *mrdoConexion;
}

lookup::LookupSettings vokTArticulo::lookupSettings() const
{
    lookup::LookupSettings settings;
    settings.NombreADesplegar = mlngNombreADesplegar;
    settings.FormatoLista = mbytFormatoLista;
    settings.mintTipoPrecio = mintTipoPrecio;
    settings.Empresa = mintEmpresa;
    settings.EnVentaObligatorio = mbytEnVentaObligatorio;
    settings.EnUsoObligatorio = mbytEnUsoObligatorio;
    settings.OmitirVariedad = mblnOmitirVariedad;
    return settings;
}

// Errors reach the host as the failure of the call: the article is then as
// the candidate list left it, cleared at least.
void vokTArticulo::FindArticuloByID(int32_t iID, int16_t &iVariedad)
{
    if (mbytFormatoLista == FormatoSinLeer)
        mbytFormatoLista = LeerFormatoLista();
    const bool sinVariedad = iVariedad == 0 || mblnOmitirVariedad;
    MostrarVariedad(1);

    const lookup::LookupSettings settings = lookupSettings();
    QString sql = lookup::ArmarSelectArticulo(settings, sinVariedad) + QStringLiteral(" Where ArtID = ") +
                  QString::number(iID);
    if (iVariedad >= 1 && !mblnOmitirVariedad)
        sql += QStringLiteral(" And AVaID = ") + QString::number(iVariedad);
    sql += lookup::ArmarFiltros(settings, sinVariedad);

    MostrarLista(sql);
    // After a find by identifier the check box, if offered, has the short caption.
    MostrarVariedad(mblnConVariedades ? 3 : 1);
}

QString vokTArticulo::SQLBaseBusqueda() const
{
    return QStringLiteral("Select Top 1 ArtID From Articulo Where ArtID > 0 ") +
           lookup::ArmarFiltros(lookupSettings(), true);
}

uint8_t vokTArticulo::LeerFormatoLista()
{
    uint8_t formato = 0;
    try {
        const RelojDeArena reloj;
        const auto resultado = conexion().OpenResultset(
            QStringLiteral("Select ParValor From genParametros Where ParNombre = 'FmtCabezalArticulo'"),
            rdo::rdOpenDynamic, rdo::rdConcurValues);
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

int16_t vokTArticulo::LeerTipoPrecio(int16_t &iEmpresa)
{
    int16_t tipo = 0;
    try {
        const RelojDeArena reloj;
        const auto resultado = conexion().OpenResultset(
            QStringLiteral("Select TPrID From TipoDePrecio ") + QStringLiteral("Where TPrTipo = 1 And TPrEmpresa = ") +
                QString::number(iEmpresa) + QStringLiteral(" And TPrListaPrecio = ") +
                QString::number(mintListaPrecios),
            rdo::rdOpenDynamic, rdo::rdConcurValues);
        if (!resultado->Eof())
            tipo = vb::CInt(resultado->rdoColumns().Item(QStringLiteral("TPrID")).Value());
        resultado->Close();
    } catch (const std::exception &) {
        // No price type: the price join then finds no price. The type read
        // before the failure, if any, is kept.
    }
    return tipo;
}
