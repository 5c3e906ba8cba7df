#pragma once
// Creation of component objects, as the platform's CreateObject does it: a
// programmatic identifier leads through the registry to a class identity, the
// class identity to a factory (registered in this process, or exported by the
// library registered under InprocServer32), and the factory creates the object.
//
// A component library exports, with C linkage:
//   HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid, void **factory)
// and on success stores in *factory a `new std::shared_ptr<com::Object>` that the
// caller adopts.

#include "guid.h"
#include "object.h"
#include "status.h"

#include <QString>

#include <memory>

namespace com {

using DllGetClassObjectFn = HRESULT (*)(const Guid *clsid, const Guid *iid, void **factory);

// Creates an object by programmatic identifier. Failure of any step (identifier
// not registered, library missing or not loadable, class refused, factory
// failing) raises the platform's error 429, whose description names the
// identifier.
std::shared_ptr<Object> createObject(const QString &progId);
std::shared_ptr<Object> createInstance(const Guid &clsid);

// The class identity registered for a programmatic identifier.
std::optional<Guid> classIdFromProgId(const QString &progId);

// Factories registered by the running process take precedence over the registry
// (the platform's CoRegisterClassObject). Registration is per process.
void registerClassObject(const Guid &clsid, std::shared_ptr<ClassFactory> factory);
void revokeClassObject(const Guid &clsid);

// Hands out a factory through the C entry point's calling convention.
HRESULT exportFactory(std::shared_ptr<Object> factory, const Guid *iid, void **out);

} // namespace com
