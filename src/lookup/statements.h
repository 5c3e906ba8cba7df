#pragma once
// The lookup statements the control runs, as text built from its settings and
// what the user typed: typed text, a ready search condition, an identifier, the
// search dialog's base statement and the probe for varieties. They run nothing
// and read no window; the column list and the filters come from query_builder.h.

#include "lookup/query_builder.h"

#include <QString>

#include <cstdint>

namespace lookup {

// The statement that resolves typed text: codes and names (branch A), variety
// names (B), and the bar-code patterns of articles (C) and varieties (D) the
// text matches, ordered by name and code. normalizado is the text as the
// host's normalisation returned it, escrito the text as typed. B and D are left
// out when the control works without varieties.
QString SelectDeTextoEscrito(const LookupSettings &settings, const QString &normalizado, const QString &escrito);

// The same branches A and B with the advanced search's condition in place of
// the typed text's.
QString SelectDeCondicion(const LookupSettings &settings, const QString &condicion);

// The rows of one article: its own row when variedad is 0 (or varieties are
// left out), one variety's row when variedad is 1 or more, every variety's row
// otherwise.
QString SelectDeIdentificador(const LookupSettings &settings, int32_t id, int16_t variedad);

// The statement with which the search dialog checks its condition.
QString SelectBaseBusqueda(const LookupSettings &settings);

// Whether an article has varieties: one row or none.
QString SondeoDeVariedades(int32_t articulo);

} // namespace lookup
