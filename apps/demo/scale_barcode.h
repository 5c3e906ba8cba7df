#pragma once
// Scale labels: an EAN-13 whose last digits before the check digit carry a
// weight or a price. The control hands the host the part of the scanned code
// that its bar-code pattern left open (CBVariable); what that part means is
// the shop's business, kept as a small table of rules in the demo's settings.

#include <QString>

#include <optional>
#include <vector>

class QSettings;

namespace demo {

enum class ScaleValue { Weight, Price };

// Codes beginning with prefix carry a value of `digits` digits right before
// the check digit: grams for a weight, cents for a price.
struct ScaleRule {
    QString prefix;
    ScaleValue kind = ScaleValue::Weight;
    int digits = 5;
};

// What a scale label says: a quantity in kilograms or a price in currency units.
struct ScaleReading {
    ScaleValue kind = ScaleValue::Weight;
    double value = 0;
};

// A decoded label, or why the code could not be read as one.
struct ScaleDecoding {
    std::optional<ScaleReading> reading;
    QString problem;
};

// True when code is 13 digits whose last one is the EAN-13 check digit of the
// twelve before it.
bool hasValidEan13CheckDigit(const QString &code);

// Reads a scanned code and the variable part the control found in it. The
// longest matching prefix picks the rule.
ScaleDecoding decodeScaleLabel(const QString &scanned, const QString &variablePart,
                               const std::vector<ScaleRule> &rules);

// The rules of the [Balanza] group: one key a prefix, its value
// "peso,DIGITS" (grams) or "precio,DIGITS" (cents). Malformed entries are
// reported in problems and left out.
std::vector<ScaleRule> readScaleRules(QSettings &settings, QStringList *problems = nullptr);

} // namespace demo
