#include "module.h"

#include "platform/com/registration.h"

#include <mutex>

namespace component {

namespace {

// Plain storage, constant-initialised: the hooks below run outside the order
// of the library's own static objects.
constinit std::mutex pathMutex;
constinit QString *recordedPath = nullptr;

// The loader runs these when it maps the library into a process and when it
// removes it again.
__attribute__((constructor)) void libraryAttached()
{
    const QString path = com::libraryPathOf(reinterpret_cast<const void *>(&libraryAttached));
    std::lock_guard lock(pathMutex);
    delete recordedPath;
    recordedPath = new QString(path);
}

__attribute__((destructor)) void libraryDetached()
{
    std::lock_guard lock(pathMutex);
    delete recordedPath;
    recordedPath = nullptr;
}

} // namespace

com::Module &libraryModule()
{
    static com::Module module;
    return module;
}

QString libraryPath()
{
    {
        std::lock_guard lock(pathMutex);
        if (recordedPath && !recordedPath->isEmpty())
            return *recordedPath;
    }
    return com::libraryPathOf(reinterpret_cast<const void *>(&libraryPath));
}

} // namespace component
