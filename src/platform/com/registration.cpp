#include "registration.h"

#include <dlfcn.h>

namespace com {

QString classKey(const Guid &clsid)
{
    return QString::fromUtf16(ClassesRoot) + QStringLiteral("\\CLSID\\") + clsid.toString();
}

void registerClass(Registry &registry, const ClassRegistration &entry, const QString &libraryPath)
{
    const QString root = QString::fromUtf16(ClassesRoot);
    const QString clsid = entry.clsid.toString();
    registry.setValue(root + u'\\' + entry.progId, {}, entry.description);
    registry.setValue(root + u'\\' + entry.progId + QStringLiteral("\\CLSID"), {}, clsid);
    registry.setValue(classKey(entry.clsid), {}, entry.description);
    registry.setValue(classKey(entry.clsid) + QStringLiteral("\\ProgID"), {}, entry.progId);
    registry.setValue(classKey(entry.clsid) + QStringLiteral("\\InprocServer32"), {}, libraryPath);
    registry.setValue(classKey(entry.clsid) + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"),
                      QStringLiteral("Apartment"));
}

void unregisterClass(Registry &registry, const ClassRegistration &entry)
{
    registry.removeKey(QString::fromUtf16(ClassesRoot) + u'\\' + entry.progId);
    registry.removeKey(classKey(entry.clsid));
}

QString libraryPathOf(const void *addressInside)
{
    Dl_info info{};
    if (dladdr(addressInside, &info) == 0 || !info.dli_fname)
        return {};
    return QString::fromLocal8Bit(info.dli_fname);
}

namespace {
HRESULT callEntryPoint(const QString &libraryPath, const char *name, QString *why)
{
    void *handle = dlopen(libraryPath.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (why)
            *why = QString::fromLocal8Bit(dlerror());
        return E_FAIL;
    }
    using EntryPoint = HRESULT (*)();
    auto entry = reinterpret_cast<EntryPoint>(dlsym(handle, name));
    if (!entry) {
        if (why)
            *why = QStringLiteral("%1 does not export %2").arg(libraryPath, QString::fromLatin1(name));
        dlclose(handle);
        return E_FAIL;
    }
    const HRESULT hr = entry();
    dlclose(handle);
    return hr;
}
} // namespace

HRESULT registerServer(const QString &libraryPath, QString *why)
{
    return callEntryPoint(libraryPath, "DllRegisterServer", why);
}

HRESULT unregisterServer(const QString &libraryPath, QString *why)
{
    return callEntryPoint(libraryPath, "DllUnregisterServer", why);
}

} // namespace com
