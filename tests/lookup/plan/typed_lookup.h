#pragma once
// The control's statement for typed text, for the plan tests: the lookup's own
// builder, with a host normalisation that leaves the text as typed; and the
// rows a connection gives for a statement, each as one text.

#include "lookup/statements.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"

#include <QString>
#include <QStringList>

namespace {

inline QString lookupStatement(const lookup::LookupSettings &s, const QString &typed)
{
    return lookup::SelectDeTextoEscrito(s, typed, typed);
}

inline QStringList rows(rdo::rdoConnection &connection, const QString &sql)
{
    QStringList out;
    const auto set = connection.OpenResultset(sql);
    for (; !set->Eof(); set->MoveNext()) {
        QStringList row;
        const rdo::rdoColumns &columns = set->rdoColumns();
        for (int32_t i = 0; i < columns.Count(); ++i) {
            const vb::Variant &v = columns.Item(i).Value();
            row.append(v.isNull() ? u"<null>"_qs : vb::CStr(v));
        }
        out.append(row.join(u'|'));
    }
    set->Close();
    return out;
}

} // namespace
