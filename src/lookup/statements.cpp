// The lookup statements as text; see statements.h.

#include "lookup/statements.h"

#include "platform/vb/conversions.h"

namespace lookup {

namespace {

const QString OrdenDeLista = QStringLiteral(" Order By NombreArt, ArtCodigo");

QString ceroOUno(bool valor)
{
    return valor ? QStringLiteral("1") : QStringLiteral("0");
}

// Branch C (sinVariedad) or D: the bar-code patterns the scanned or typed code
// matches, of the length of the code or of any length.
QString porCodigoDeBarras(const LookupSettings &settings, bool sinVariedad, const QString &recortado)
{
    // A quote in a scanned or typed code is doubled, so that the literal
    // stays whole and the comparison is made with the code as typed.
    const QString codigo = vb::Replace(recortado, QStringLiteral("'"), QStringLiteral("''"));
    return QStringLiteral(" UNION ALL ") + ArmarSelectCodigoBarras(settings, sinVariedad) +
           ArmarFiltros(settings, sinVariedad) + QStringLiteral(" And '") + codigo +
           QStringLiteral("' Like ACBCodigo ") + QStringLiteral(" And (ACBLargo = 0 Or ACBLargo = ") +
           QString::number(recortado.size()) + QStringLiteral(")");
}

} // namespace

QString SelectDeTextoEscrito(const LookupSettings &settings, const QString &normalizado, const QString &escrito)
{
    const QString recortado = vb::Trim(escrito);
    QString patron = vb::Replace(normalizado, QStringLiteral(" "), QStringLiteral("%"));
    patron = vb::Replace(patron, QStringLiteral("*"), QStringLiteral("%"));
    patron = vb::Replace(patron, QStringLiteral("'"), QString());

    QString sql = ArmarSelectArticulo(settings, true) + QStringLiteral(" Where (ArtCodigo like '") + patron +
                  QStringLiteral("%' OR ArtNombre Like '") + patron + QStringLiteral("%' OR ArtNombreCorto Like '") +
                  patron + QStringLiteral("%')") + QStringLiteral(" And (ArtNoUtilizarGenerico = 0 Or 1 = ") +
                  ceroOUno(settings.OmitirVariedad) + QStringLiteral(")") + ArmarFiltros(settings, true);
    if (!settings.OmitirVariedad)
        sql += QStringLiteral(" UNION ALL ") + ArmarSelectArticulo(settings, false) +
               QStringLiteral(" Where (ArtCodigo like '") + patron + QStringLiteral("%' Or ArtNombre Like '") +
               patron + QStringLiteral("%' Or ArtNombreCorto Like '") + patron + QStringLiteral("%'") +
               QStringLiteral(" OR ArtNombre + AVaNombre like '") + patron + QStringLiteral("%'") +
               QStringLiteral(" OR ArtNombreCorto + AVaNombre like '") + patron + QStringLiteral("%')") +
               ArmarFiltros(settings, false);

    sql += porCodigoDeBarras(settings, true, recortado);
    if (!settings.OmitirVariedad)
        sql += porCodigoDeBarras(settings, false, recortado);
    return sql + OrdenDeLista;
}

QString SelectDeCondicion(const LookupSettings &settings, const QString &condicion)
{
    QString sql = ArmarSelectArticulo(settings, true) + QStringLiteral(" ") + QStringLiteral("Where ") + condicion +
                  ArmarFiltros(settings, true);
    if (!settings.OmitirVariedad)
        sql += QStringLiteral(" UNION ALL ") + ArmarSelectArticulo(settings, false) + QStringLiteral(" ") +
               QStringLiteral("Where ") + condicion + ArmarFiltros(settings, false);
    return sql + OrdenDeLista;
}

QString SelectDeIdentificador(const LookupSettings &settings, int32_t id, int16_t variedad)
{
    const bool sinVariedad = variedad == 0 || settings.OmitirVariedad;
    QString sql = ArmarSelectArticulo(settings, sinVariedad) + QStringLiteral(" Where ArtID = ") + QString::number(id);
    if (variedad >= 1 && !settings.OmitirVariedad)
        sql += QStringLiteral(" And AVaID = ") + QString::number(variedad);
    return sql + ArmarFiltros(settings, sinVariedad);
}

QString SelectBaseBusqueda(const LookupSettings &settings)
{
    return QStringLiteral("Select Top 1 ArtID From Articulo Where ArtID > 0 ") + ArmarFiltros(settings, true);
}

QString SondeoDeVariedades(int32_t articulo)
{
    return QStringLiteral("Select Top 1 * From ArticuloVariedad Where AVaArticulo = ") + QString::number(articulo);
}

} // namespace lookup
