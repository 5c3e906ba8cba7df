#pragma once
// The platform's Format function: a value written through a display mask.
// The control shows article codes, list columns and prices through it, so the
// text it produces must match what the original control displayed.

#include "variant.h"

#include <QString>

namespace vb {

// Text of value through mask, with the platform's rules:
// - no mask: the value as CStr writes it, Empty and Null as "";
// - named formats ("General Number", "Currency", "Fixed", "Standard",
//   "Percent", "Scientific", "Yes/No", "True/False", "On/Off"), any case;
// - numeric masks (0 # . , % E+ E- \ "..." and up to four sections
//   positive;negative;zero;null) for numbers, Booleans (-1/0), Empty (0) and
//   text that CDbl reads as a number; other text is returned unchanged;
// - text masks (@ & < > !, sections non-empty;empty) for any value.
// Separators come from the default QLocale. An Object raises error 13.
QString Format(const Variant &value, const QString &mask = {});

} // namespace vb
