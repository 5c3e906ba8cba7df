// Resolving what the user typed into an article: one statement that matches
// the text against codes, names, variety names and bar-code patterns at once,
// handed to the candidate list.

#include "vok_t_articulo.h"

#include "language/host_components.h"
#include "lookup/query_builder.h"
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

} // namespace

void vokTArticulo::ValidarArticulo(const QString &sTexto)
{
    try {
        if (m_userControl->ambientUserMode() && !sTexto.isEmpty())
            BuscarArticulo(sTexto, QString());
    } catch (const vb::Error &error) {
        const QString texto = TextoError(error);
        raise([&](vokTArticuloEvents &sink) { sink.Error(texto); });
    } catch (const std::exception &error) {
        const QString texto = TextoError(vb::Error(vb::err::InvalidProcedureCall, QString::fromUtf8(error.what())));
        raise([&](vokTArticuloEvents &sink) { sink.Error(texto); });
    }
}

QString vokTArticulo::TextoError(const vb::Error &error)
{
    return error.number() == 0 ? QString() : error.numberAndDescription();
}

void vokTArticulo::BuscarArticulo(const QString &sTexto, const QString &sCondicion)
{
    if (mbytFormatoLista == 255)
        mbytFormatoLista = LeerFormatoLista();
    if (mbytFormatoLista > 0 && mintListaPrecios != mintListaTipoPrecio) {
        int16_t empresa = mintEmpresa;
        mintTipoPrecio = LeerTipoPrecio(empresa);
        mintListaTipoPrecio = mintListaPrecios;
    }

    const lookup::LookupSettings settings = lookupSettings();
    QString sql;
    if (sCondicion.isEmpty()) {
        const QString recortado = vb::Trim(sTexto);
        QString patron = normalizarTexto(sTexto);
        patron = vb::Replace(patron, QStringLiteral(" "), QStringLiteral("%"));
        patron = vb::Replace(patron, QStringLiteral("*"), QStringLiteral("%"));
        patron = vb::Replace(patron, QStringLiteral("'"), QString());

        sql = lookup::ArmarSelectArticulo(settings, true) + QStringLiteral(" Where (ArtCodigo like '") + patron +
              QStringLiteral("%' OR ArtNombre Like '") + patron + QStringLiteral("%' OR ArtNombreCorto Like '") +
              patron + QStringLiteral("%')") + QStringLiteral(" And (ArtNoUtilizarGenerico = 0 Or 1 = ") +
              (mblnOmitirVariedad ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(")") +
              lookup::ArmarFiltros(settings, true);
        if (!mblnOmitirVariedad)
            sql += QStringLiteral(" UNION ALL ") + lookup::ArmarSelectArticulo(settings, false) +
                   QStringLiteral(" Where (ArtCodigo like '") + patron + QStringLiteral("%' Or ArtNombre Like '") +
                   patron + QStringLiteral("%' Or ArtNombreCorto Like '") + patron + QStringLiteral("%'") +
                   QStringLiteral(" OR ArtNombre + AVaNombre like '") + patron + QStringLiteral("%'") +
                   QStringLiteral(" OR ArtNombreCorto + AVaNombre like '") + patron + QStringLiteral("%')") +
                   lookup::ArmarFiltros(settings, false);

        // A quote in a scanned or typed code is doubled, so that the literal
        // stays whole and the comparison is made with the code as typed.
        const QString codigo = vb::Replace(recortado, QStringLiteral("'"), QStringLiteral("''"));
        const auto porCodigoDeBarras = [&](bool sinVariedad) {
            return QStringLiteral(" UNION ALL ") + lookup::ArmarSelectCodigoBarras(settings, sinVariedad) +
                   lookup::ArmarFiltros(settings, sinVariedad) + QStringLiteral(" And '") + codigo +
                   QStringLiteral("' Like ACBCodigo ") + QStringLiteral(" And (ACBLargo = 0 Or ACBLargo = ") +
                   QString::number(recortado.size()) + QStringLiteral(")");
        };
        sql += porCodigoDeBarras(true);
        if (!mblnOmitirVariedad)
            sql += porCodigoDeBarras(false);
    } else {
        sql = lookup::ArmarSelectArticulo(settings, true) + QStringLiteral(" ") + QStringLiteral("Where ") +
              sCondicion + lookup::ArmarFiltros(settings, true);
        if (!mblnOmitirVariedad)
            sql += QStringLiteral(" UNION ALL ") + lookup::ArmarSelectArticulo(settings, false) +
                   QStringLiteral(" ") + QStringLiteral("Where ") + sCondicion + lookup::ArmarFiltros(settings, false);
    }
    sql += QStringLiteral(" Order By NombreArt, ArtCodigo");

    MostrarLista(sql);
    MostrarVariedad(mblnConVariedades ? 2 : 1);

    // Once the list has returned, a step that fails is skipped.
    vb::ResumeNext([&] { m_userControl->refresh(); });
    vb::ResumeNext([&] { m_tArticulo->setFocus(); });
    SeleccionarTexto();
}
