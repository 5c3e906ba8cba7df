#pragma once
// A 128-bit identity of a class, an interface or a type library.

#include <QString>
#include <QStringView>

#include <array>
#include <compare>
#include <cstdint>
#include <optional>

namespace com {

class Guid {
public:
    constexpr Guid() = default;
    constexpr explicit Guid(const std::array<uint8_t, 16> &bytes) : m_bytes(bytes) {}

    // Accepts "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with or without braces,
    // in either letter case.
    static std::optional<Guid> parse(QStringView text);
    // A stable identity derived from a name (name-based, SHA-1), for classes
    // whose identity follows from their programmatic identifier.
    static Guid fromName(QStringView name);

    // Upper-case, with braces, as the registry writes identities.
    QString toString() const;
    bool isNull() const { return *this == Guid(); }
    const std::array<uint8_t, 16> &bytes() const { return m_bytes; }

    auto operator<=>(const Guid &) const = default;

private:
    std::array<uint8_t, 16> m_bytes{};
};

// Identities of the runtime's own interfaces.
extern const Guid IID_IUnknown;
extern const Guid IID_IDispatch;
extern const Guid IID_IClassFactory;

} // namespace com
