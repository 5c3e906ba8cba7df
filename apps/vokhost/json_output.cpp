#include "json_output.h"

#include "platform/vb/error.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <cstdio>
#include <limits>

namespace vokhost {

QJsonValue toJson(const vb::Variant &value)
{
    switch (value.type()) {
    case vb::VarType::Byte:
        return value.get<uint8_t>();
    case vb::VarType::Integer:
        return value.get<int16_t>();
    case vb::VarType::Long:
        return value.get<int32_t>();
    case vb::VarType::Double:
        return value.get<double>();
    case vb::VarType::Boolean:
        return value.get<bool>();
    case vb::VarType::String:
        return value.get<QString>();
    default:
        return QJsonValue::Null;
    }
}

std::optional<vb::Variant> fromJsonText(const QString &text)
{
    // A bare scalar is not a JSON document to Qt: read it as an array's item.
    QJsonParseError problem{};
    const QJsonDocument document = QJsonDocument::fromJson("[" + text.toUtf8() + "]", &problem);
    if (problem.error != QJsonParseError::NoError || document.array().size() != 1)
        return std::nullopt;
    const QJsonValue value = document.array().at(0);
    switch (value.type()) {
    case QJsonValue::Bool:
        return vb::Variant(value.toBool());
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::trunc(number) != number || std::abs(number) > std::numeric_limits<int32_t>::max())
            return vb::Variant(number);
        if (std::abs(number) <= std::numeric_limits<int16_t>::max())
            return vb::Variant(static_cast<int16_t>(number));
        return vb::Variant(static_cast<int32_t>(number));
    }
    case QJsonValue::String:
        return vb::Variant(value.toString());
    case QJsonValue::Null:
        return vb::Variant::null();
    default:
        return std::nullopt;
    }
}

void printLine(const QJsonObject &line)
{
    const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
}

void printOk()
{
    printLine({{"ok", true}});
}

void printOk(const QString &key, const QJsonValue &value)
{
    printLine({{"ok", true}, {key, value}});
}

void printError(const vb::Error &error)
{
    printLine({{"ok", false},
               {"error", QJsonObject{{"number", error.number()},
                                     {"source", error.source()},
                                     {"description", error.description()}}}});
}

} // namespace vokhost
