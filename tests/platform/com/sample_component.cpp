// A component library for the runtime's tests: it loads and answers as a component library
// does, but serves no class.

#include "platform/com/runtime.h"

extern "C" com::HRESULT DllGetClassObject(const com::Guid *, const com::Guid *, void **factory)
{
    if (factory)
        *factory = nullptr;
    return com::CLASS_E_CLASSNOTAVAILABLE;
}
