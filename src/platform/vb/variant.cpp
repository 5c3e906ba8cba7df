#include "variant.h"

#include "error.h"

namespace vb {

Object::~Object() = default;

VarType Variant::type() const
{
    struct {
        VarType operator()(std::monostate) const { return VarType::Empty; }
        VarType operator()(NullValue) const { return VarType::Null; }
        VarType operator()(uint8_t) const { return VarType::Byte; }
        VarType operator()(int16_t) const { return VarType::Integer; }
        VarType operator()(int32_t) const { return VarType::Long; }
        VarType operator()(double) const { return VarType::Double; }
        VarType operator()(bool) const { return VarType::Boolean; }
        VarType operator()(const QString &) const { return VarType::String; }
        VarType operator()(const ObjectRef &) const { return VarType::Object; }
    } visitor;
    return std::visit(visitor, m_value);
}

bool Variant::isNumeric() const
{
    switch (type()) {
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

ObjectRef Variant::object() const
{
    if (const auto *ref = std::get_if<ObjectRef>(&m_value))
        return *ref;
    throw Error::standard(err::TypeMismatch);
}

} // namespace vb
