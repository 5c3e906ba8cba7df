#pragma once
// Resources embedded in a component library, and the type library read from
// them.
//
// A library carries its resources itself: it exports, with C linkage,
//   HRESULT VokFindResource(const char16_t *type, const char16_t *name,
//                           const void **data, uint32_t *size)
// which, for a type and a name (compared without regard to case), points *data
// at bytes that stay valid while the library is loaded and stores their
// length in *size. An unknown type or name gives
// HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND / _NAME_NOT_FOUND).
//
// The resource types the runtime knows:
//   TYPELIB 1   the type library, a UTF-8 JSON document (layout below)
//   CUSTOM ...  raw bytes; an interface identity history is a 32-bit
//               little-endian byte count followed by that many bytes of
//               16-byte identities (in the byte order of Guid::bytes()),
//               oldest first, current last
//   BITMAP n    a BMP file image
//
// Type library document (every identity a "{...}" string, upper case):
//   { "format": "vok-typelib 1",
//     "name", "libid", "version": "major.minor", "lcid": 0, "helpString",
//     "imports": [ { "name", "version", "description" } ],
//     "coclasses": [ { "name", "clsid", "progId", "flags": ["control", "creatable"],
//                      "defaultInterface", "defaultSource" } ],
//     "interfaces": [ { "name", "iid", "flags": ["dual", "hidden", "nonextensible"],
//                       "members": [ { "name", "kind": "get"|"let"|"set"|"method",
//                                      "type", "params": [ { "name", "type",
//                                      "byRef", "optional", "default"? } ] } ] } ],
//     "dispinterfaces": [ { "name", "iid", "flags", "events": [ { "dispid",
//                           "name", "params" } ] } ],
//     "enums": [ { "name", "values": [ { "name", "value" } ] } ],
//     "aliases": [ { "name", "version", "interface", "iid" } ] }
// Members appear in their binary order; a property has one entry per accessor.
// For get/let/set, "type" is the property's type and "params" lists only the
// extra arguments (a let's or set's value is implied); for a method it is the
// result type, "" when there is none.

#include "guid.h"
#include "status.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace com {

using FindResourceFn = HRESULT (*)(const char16_t *type, const char16_t *name, const void **data, uint32_t *size);

inline constexpr HRESULT E_RESOURCE_TYPE_NOT_FOUND = static_cast<HRESULT>(0x80070715u);
inline constexpr HRESULT E_RESOURCE_NAME_NOT_FOUND = static_cast<HRESULT>(0x80070716u);

// Error numbers raised (as vb::Error), the platform's: 48 "Error in loading
// DLL" when the library cannot be loaded or carries no resources, 326 when the
// resource is not there, 325 when a resource does not have its type's format.
inline constexpr int32_t ErrorLoadingLibrary = 48;
inline constexpr int32_t InvalidResourceFormat = 325;
inline constexpr int32_t ResourceNotFound = 326;

// A copy of one resource of a library. The library is loaded for the call and
// released after it.
QByteArray loadResource(const QString &libraryPath, const QString &type, const QString &name);

// The identities of a history resource, oldest first.
std::vector<Guid> parseIdentityHistory(const QByteArray &resource);

struct TypeLibrary {
    struct Class {
        QString name;
        Guid clsid;
        QString progId;
    };

    QString name;
    Guid libid;
    QString version;
    QString helpString;
    std::vector<Class> classes;
    // The whole document, for what the fields above do not cover.
    QJsonObject document;
};

// The type library resource (TYPELIB 1) of a library.
TypeLibrary loadTypeLibrary(const QString &libraryPath);
TypeLibrary parseTypeLibrary(const QByteArray &resource);

} // namespace com
