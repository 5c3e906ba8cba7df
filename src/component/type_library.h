#pragma once
// The type library of vokArtBuscar: what a container reads to learn the
// control's class, its default interface (members in binary order), its
// events and its enumerations. Stored in the library as the resource
// TYPELIB 1, in the JSON layout documented in platform/com/resources.h.

#include <QByteArray>
#include <QString>

#include <span>

namespace component {

inline constexpr char LibraryName[] = "vokArtBuscar";
inline constexpr char ClassName[] = "vokTArticulo";
inline constexpr char ProgId[] = "vokArtBuscar.vokTArticulo";
inline constexpr char DefaultInterfaceName[] = "_vokTArticulo";
inline constexpr char EventInterfaceName[] = "__vokTArticulo";
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 15;
QString description(); // "VOK - Buscar Artículo"
QString typeLibraryVersion(); // "1.15"

struct ParameterInfo {
    const char *name;
    const char *type;
    bool byRef = false;
    bool optional = false;
    const char *defaultValue = nullptr;
};

struct MemberInfo {
    const char *name;
    const char *kind; // "get", "let", "set" or "method"
    const char *type; // the property's type; a method's result, "" for none
    std::span<const ParameterInfo> params = {};
    // A let whose value travels by reference.
    bool valueByRef = false;
};

struct EventInfo {
    int dispid;
    const char *name;
    std::span<const ParameterInfo> params = {};
};

// The members of _vokTArticulo in their binary order.
std::span<const MemberInfo> defaultInterfaceMembers();
// The events of __vokTArticulo, dispids 1 to 5.
std::span<const EventInfo> events();

// The TYPELIB 1 resource: the document, UTF-8.
const QByteArray &typeLibraryResource();

} // namespace component
