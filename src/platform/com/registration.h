#pragma once
// Writing a component library's classes into the registry, and running a
// library's own registration entry points as an installer does.

#include "guid.h"
#include "registry.h"
#include "status.h"

#include <QString>

namespace com {

struct ClassRegistration {
    Guid clsid;
    QString progId;
    QString description;
};

// HKEY_CLASSES_ROOT\<progid>\CLSID, HKEY_CLASSES_ROOT\CLSID\{clsid} with its
// description, ProgID and InprocServer32 (library path, apartment threading).
// Writing the same entries again is harmless.
void registerClass(Registry &registry, const ClassRegistration &entry, const QString &libraryPath);
// Removes what registerClass wrote; removing what is not there is harmless.
void unregisterClass(Registry &registry, const ClassRegistration &entry);
// The registry key of a class identity: HKEY_CLASSES_ROOT\CLSID\{...}.
QString classKey(const Guid &clsid);

// The file of the loaded library that contains the given address.
QString libraryPathOf(const void *addressInside);

// Loads a component library and calls its DllRegisterServer or
// DllUnregisterServer. A library that cannot be loaded or lacks the entry point
// gives E_FAIL; the reason is written to *why when given.
HRESULT registerServer(const QString &libraryPath, QString *why = nullptr);
HRESULT unregisterServer(const QString &libraryPath, QString *why = nullptr);

} // namespace com
