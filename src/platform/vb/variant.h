#pragma once
// The platform's Variant: one value of the types the control's interface and
// the database layer exchange. Empty and Null are distinct states, as on the
// original platform (Empty converts to 0 or "", Null is an error for most
// conversions).

#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <variant>

namespace vb {

class Variant;

// How a late-bound member is reached, as with the platform's CallByName.
enum class CallKind { Method, PropertyGet, PropertyLet, PropertySet };

// An object reached by member name (late binding). Arguments are passed by
// reference: a member may write back into them, as the platform's ByRef does.
class Object {
public:
    virtual ~Object();
    virtual Variant invoke(const QString &member, CallKind kind, std::span<Variant> args) = 0;
};

using ObjectRef = std::shared_ptr<Object>;

// The platform's VarType codes.
enum class VarType : uint8_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    String = 8,
    Object = 9,
    Boolean = 11,
    Byte = 17,
};

struct NullValue {
    bool operator==(const NullValue &) const = default;
};

class Variant {
public:
    Variant() = default; // Empty
    Variant(uint8_t v) : m_value(v) {}
    Variant(int16_t v) : m_value(v) {}
    Variant(int32_t v) : m_value(v) {}
    Variant(double v) : m_value(v) {}
    Variant(bool v) : m_value(v) {}
    Variant(QString v) : m_value(std::move(v)) {}
    Variant(const char *utf8) : m_value(QString::fromUtf8(utf8)) {}
    Variant(ObjectRef v) : m_value(std::move(v)) {}

    static Variant null() { Variant v; v.m_value = NullValue{}; return v; }

    VarType type() const;
    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNull() const { return std::holds_alternative<NullValue>(m_value); }
    bool isString() const { return std::holds_alternative<QString>(m_value); }
    bool isObject() const { return std::holds_alternative<ObjectRef>(m_value); }
    // Byte, Integer, Long, Double and Boolean.
    bool isNumeric() const;

    // The stored value of the given type; only valid when type() says so.
    template <typename T> const T &get() const { return std::get<T>(m_value); }

    // Object held, or null; the platform's error 13 when another type is held.
    ObjectRef object() const;

    bool operator==(const Variant &) const = default;

private:
    std::variant<std::monostate, NullValue, uint8_t, int16_t, int32_t, double, bool, QString, ObjectRef> m_value;
};

} // namespace vb
