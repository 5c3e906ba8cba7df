#include "error.h"

namespace vb {

Error::Error(int32_t number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(numberAndDescription().toStdString())
{
}

Error Error::standard(int32_t number, QString source)
{
    return Error(number, standardDescription(number), std::move(source));
}

QString Error::standardDescription(int32_t number)
{
    switch (number) {
    case err::InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow: return QStringLiteral("Overflow");
    case err::TypeMismatch: return QStringLiteral("Type mismatch");
    case err::ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case err::FileNotFound: return QStringLiteral("File not found");
    case err::InvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case err::InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case err::InvalidPropertyArrayIndex: return QStringLiteral("Invalid property array index");
    case err::InvalidPicture: return QStringLiteral("Invalid picture");
    case err::CannotCreateObject: return QStringLiteral("ActiveX component can't create object");
    case err::MemberNotSupported: return QStringLiteral("Object doesn't support this property or method");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

QString Error::numberAndDescription() const
{
    return QString::number(m_number) + QStringLiteral(" - ") + m_description;
}

} // namespace vb
