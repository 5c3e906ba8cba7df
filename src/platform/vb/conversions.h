#pragma once
// The platform's conversion functions with its exact rules: rounding half to
// even for the integer conversions, error 6 on overflow, 13 on a text that is
// no number, 94 on Null.

#include "variant.h"

#include <QString>

#include <cstdint>

namespace vb {

// Leading number of a text: blanks (space, tab, line feed) anywhere inside the
// number are skipped, "&H" and "&O" introduce hexadecimal and octal; 0 when the
// text does not start with a number. The decimal separator is always ".".
double Val(const QString &text);

uint8_t CByte(const Variant &value);
int16_t CInt(const Variant &value);
int32_t CLng(const Variant &value);
double CDbl(const Variant &value);
bool CBool(const Variant &value);
// Text of a value: Empty is "", Null is error 94, Boolean is "True"/"False",
// numbers are written with the locale's decimal separator.
QString CStr(const Variant &value);

// Trimming removes spaces only (not tabs or other blanks), like the platform.
QString Trim(const QString &text);
QString LTrim(const QString &text);
QString RTrim(const QString &text);

// Every occurrence of find replaced by replacement, scanning left to right,
// case-sensitive. An empty find returns the text unchanged.
QString Replace(const QString &text, const QString &find, const QString &replacement);

} // namespace vb
