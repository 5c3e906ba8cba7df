#pragma once
// The JSON side of vokhost: values to and from the platform's Variants, and
// the lines written to stdout (one compact object a line).

#include "platform/vb/variant.h"

#include <QJsonObject>
#include <QJsonValue>

#include <optional>

namespace vb {
class Error;
}

namespace vokhost {

// Empty and Null are null; an object is null too (callers expand the ones
// they know).
QJsonValue toJson(const vb::Variant &value);
// The value of `set`: true/false, a number (whole numbers as Integer or Long,
// the others as Double), a string or null. Nothing when the text is not JSON.
std::optional<vb::Variant> fromJsonText(const QString &text);

void printLine(const QJsonObject &line);
void printOk();
void printOk(const QString &key, const QJsonValue &value);
void printError(const vb::Error &error);

} // namespace vokhost
