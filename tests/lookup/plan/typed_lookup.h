#pragma once
// The control's statement for typed text, for the plan tests.

#include "lookup/query_builder.h"
#include "platform/vb/conversions.h"

#include <QString>

namespace {

// The text lookup exactly as the control assembles it, with a host
// normalisation that leaves the text as typed.
QString lookupStatement(const lookup::LookupSettings &s, const QString &typed)
{
    const QString trimmed = vb::Trim(typed);
    QString pattern = typed;
    pattern.replace(u' ', u'%').replace(u'*', u'%').remove(u'\'');
    QString sql = lookup::ArmarSelectArticulo(s, true) + u" Where (ArtCodigo like '"_qs + pattern +
                  u"%' OR ArtNombre Like '"_qs + pattern + u"%' OR ArtNombreCorto Like '"_qs + pattern + u"%')"_qs +
                  u" And (ArtNoUtilizarGenerico = 0 Or 1 = "_qs + (s.OmitirVariedad ? u"1"_qs : u"0"_qs) + u")"_qs +
                  lookup::ArmarFiltros(s, true);
    if (!s.OmitirVariedad)
        sql += u" UNION ALL "_qs + lookup::ArmarSelectArticulo(s, false) + u" Where (ArtCodigo like '"_qs + pattern +
               u"%' Or ArtNombre Like '"_qs + pattern + u"%' Or ArtNombreCorto Like '"_qs + pattern + u"%'"_qs +
               u" OR ArtNombre + AVaNombre like '"_qs + pattern + u"%'"_qs + u" OR ArtNombreCorto + AVaNombre like '"_qs +
               pattern + u"%')"_qs + lookup::ArmarFiltros(s, false);
    const QString code = QString(trimmed).replace(u"'"_qs, u"''"_qs);
    for (const bool sinVariedad : {true, false})
        if (sinVariedad || !s.OmitirVariedad)
            sql += u" UNION ALL "_qs + lookup::ArmarSelectCodigoBarras(s, sinVariedad) + lookup::ArmarFiltros(s, sinVariedad) +
                   u" And '"_qs + code + u"' Like ACBCodigo "_qs + u" And (ACBLargo = 0 Or ACBLargo = "_qs +
                   QString::number(trimmed.size()) + u")"_qs;
    return sql + u" Order By NombreArt, ArtCodigo"_qs;
}

} // namespace
