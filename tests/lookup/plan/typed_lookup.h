#pragma once
// The control's statement for typed text, for the plan tests: the lookup's own
// builder, with a host normalisation that leaves the text as typed.

#include "lookup/statements.h"

#include <QString>

namespace {

QString lookupStatement(const lookup::LookupSettings &s, const QString &typed)
{
    return lookup::SelectDeTextoEscrito(s, typed, typed);
}

} // namespace
