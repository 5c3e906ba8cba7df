#include "scale_barcode.h"

#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

constexpr int Ean13Length = 13;

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

const ScaleRule *ruleFor(const QString &scanned, const std::vector<ScaleRule> &rules)
{
    const ScaleRule *best = nullptr;
    for (const ScaleRule &rule : rules) {
        if (scanned.startsWith(rule.prefix) && (!best || rule.prefix.size() > best->prefix.size()))
            best = &rule;
    }
    return best;
}

} // namespace

bool hasValidEan13CheckDigit(const QString &code)
{
    if (code.size() != Ean13Length || !allDigits(code))
        return false;
    int sum = 0;
    for (int i = 0; i < Ean13Length - 1; ++i)
        sum += code[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10 == code[Ean13Length - 1].digitValue();
}

ScaleDecoding decodeScaleLabel(const QString &scanned, const QString &variablePart,
                               const std::vector<ScaleRule> &rules)
{
    if (!hasValidEan13CheckDigit(scanned))
        return {std::nullopt, QStringLiteral("%1 is not an EAN-13 with a valid check digit").arg(scanned)};
    const ScaleRule *rule = ruleFor(scanned, rules);
    if (!rule)
        return {std::nullopt, QStringLiteral("no scale rule for the prefix of %1").arg(scanned)};
    // The variable part ends with the check digit; the value stands right before it.
    const QString value = variablePart.left(variablePart.size() - 1).right(rule->digits);
    if (value.size() != rule->digits || !allDigits(value) || !scanned.endsWith(variablePart))
        return {std::nullopt, QStringLiteral("the variable part %1 does not hold %2 digits before the check digit")
                                  .arg(variablePart)
                                  .arg(rule->digits)};
    const double units = value.toDouble();
    const double divisor = rule->kind == ScaleValue::Weight ? 1000.0 : 100.0;
    return {ScaleReading{rule->kind, units / divisor}, {}};
}

std::vector<ScaleRule> readScaleRules(QSettings &settings, QStringList *problems)
{
    std::vector<ScaleRule> rules;
    settings.beginGroup(QStringLiteral("Balanza"));
    for (const QString &prefix : settings.childKeys()) {
        // QSettings splits an unquoted "peso,5" into a list.
        const QStringList parts = settings.value(prefix).toStringList().join(u',').split(u',');
        bool digitsOk = false;
        const int digits = parts.value(1).trimmed().toInt(&digitsOk);
        const QString kind = parts.value(0).trimmed().toLower();
        const bool kindOk = kind == u"peso" || kind == u"precio";
        if (!allDigits(prefix) || !kindOk || !digitsOk || digits < 1 || digits > 11 || parts.size() != 2) {
            if (problems)
                *problems << QStringLiteral("[Balanza] %1=%2: expected peso,DIGITS or precio,DIGITS")
                                 .arg(prefix, parts.join(u','));
            continue;
        }
        rules.push_back({prefix, kind == u"peso" ? ScaleValue::Weight : ScaleValue::Price, digits});
    }
    settings.endGroup();
    return rules;
}

} // namespace demo
