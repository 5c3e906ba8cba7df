// Resolving what the user typed into an article: one statement that matches
// the text against codes, names, variety names and bar-code patterns at once,
// handed to the candidate list.

#include "vok_t_articulo_p.h"

#include "language/host_components.h"
#include "lookup/statements.h"
#include "platform/com/runtime.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "platform/vb/resume_next.h"

namespace {

// The host's normalisation of the typed text, through its utility component,
// created for the call and released right after it.
QString normalizarTexto(const QString &texto)
{
    const vb::ObjectRef utilidades = com::createObject(language::UtilidadesProgId);
    std::vector<vb::Variant> argumentos{texto};
    return vb::CStr(vb::CallByName(utilidades, QStringLiteral("NormalizarTexto"), vb::CallKind::Method, argumentos));
}

QString textoError(const vb::Error &error)
{
    return error.number() == 0 ? QString() : error.numberAndDescription();
}

// The price list a type was read for, as the shop's forms have always compared
// it: a list never read counts as list -1.
constexpr int16_t ListaNuncaLeida = -1;

} // namespace

void vokTArticuloPrivate::ValidarArticulo(const QString &sTexto)
{
    try {
        if (m_userControl->ambientUserMode() && !sTexto.isEmpty())
            BuscarArticulo(sTexto, QString());
    } catch (const vb::Error &error) {
        const QString texto = textoError(error);
        raise([&](vokTArticuloEvents &sink) { sink.Error(texto); });
    } catch (const std::exception &error) {
        const QString texto = textoError(vb::Error(vb::err::InvalidProcedureCall, QString::fromUtf8(error.what())));
        raise([&](vokTArticuloEvents &sink) { sink.Error(texto); });
    }
}

lookup::LookupSettings vokTArticuloPrivate::ajustesDeBusqueda()
{
    leerFormatoSiFalta();
    // The price type is read once per price list, and not at all while the
    // layout shows no price.
    if (*formatoLista > 0 && mintListaPrecios != listaTipoPrecio.value_or(ListaNuncaLeida)) {
        mintTipoPrecio = LeerTipoPrecio(mintEmpresa);
        listaTipoPrecio = mintListaPrecios;
    }
    return lookupSettings();
}

QString vokTArticuloPrivate::sentenciaDeTexto(const QString &sTexto)
{
    const lookup::LookupSettings settings = ajustesDeBusqueda();
    return lookup::SelectDeTextoEscrito(settings, normalizarTexto(sTexto), sTexto);
}

QString vokTArticulo::SentenciaDeBusqueda(const QString &sTexto)
{
    return d->sentenciaDeTexto(sTexto);
}

void vokTArticuloPrivate::BuscarArticulo(const QString &sTexto, const QString &sCondicion)
{
    MostrarLista(sCondicion.isEmpty() ? sentenciaDeTexto(sTexto)
                                      : lookup::SelectDeCondicion(ajustesDeBusqueda(), sCondicion));
    MostrarVariedad(mblnConVariedades ? ModoVariedad::Largo : ModoVariedad::Oculto);

    // Once the list has returned, a step that fails is skipped.
    vb::ResumeNext([&] { m_userControl->refresh(); });
    vb::ResumeNext([&] { m_tArticulo->setFocus(); });
    q.SeleccionarTexto();
}
