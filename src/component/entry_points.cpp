// Entry points of the control library, as a container and an installer call
// them: registration, the class factory of vokTArticulo and the unload check.
// Resources are served by VokFindResource (embedded_resources.cpp); the
// library's load and unload hooks are in module.cpp.

#include "identities.h"
#include "module.h"
#include "registration_data.h"
#include "vok_t_articulo_object.h"

#include "platform/com/registry.h"
#include "platform/com/runtime.h"

#include <cstdio>

namespace {

#define VOK_EXPORT extern "C" __attribute__((visibility("default")))

// Runs a registration step behind a C entry point, where nothing may escape.
template <typename Step>
com::HRESULT registering(const char *what, Step step)
{
    try {
        step();
        return com::S_OK;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vokBArticulo %s: %s\n", what, e.what());
        return com::SELFREG_E_CLASS;
    }
}

} // namespace

VOK_EXPORT com::HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid, void **factory)
{
    if (!clsid || !iid || !factory)
        return com::E_POINTER;
    *factory = nullptr;
    if (*clsid != component::CLSID_vokTArticulo)
        return com::CLASS_E_CLASSNOTAVAILABLE;
    try {
        auto made = std::make_shared<com::FunctionClassFactory>(
            [] { return std::make_shared<component::vokTArticuloObject>(); }, &component::libraryModule());
        return com::exportFactory(std::move(made), iid, factory);
    } catch (const std::exception &) {
        return com::E_FAIL;
    }
}

VOK_EXPORT com::HRESULT DllCanUnloadNow()
{
    return component::libraryModule().canUnload() ? com::S_OK : com::S_FALSE;
}

VOK_EXPORT com::HRESULT DllRegisterServer()
{
    return registering("registration", [] {
        com::Registry registry;
        for (const component::RegistryItem &item : component::registrationItems(component::libraryPath()))
            registry.setValue(item.key, item.name, item.value);
    });
}

VOK_EXPORT com::HRESULT DllUnregisterServer()
{
    return registering("unregistration", [] {
        com::Registry registry;
        for (const QString &key : component::registrationKeys())
            registry.removeKey(key);
        // The library's key goes with its last registered version.
        if (registry.subKeys(component::typeLibraryKey()).isEmpty())
            registry.removeKey(component::typeLibraryKey());
    });
}
