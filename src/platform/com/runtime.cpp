#include "runtime.h"

#include "registry.h"

#include "platform/vb/error.h"

#include <QFile>

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <utility>

namespace com {

namespace {

// Why one creation step failed; turned into the platform's error 429.
struct CreationFailure {
    QString reason;
};

QString classesRootKey(const QString &subKey)
{
    return QString::fromUtf16(ClassesRoot) + u'\\' + subKey;
}

QString hresultText(HRESULT hr)
{
    return QStringLiteral("0x") + QString::number(static_cast<uint32_t>(hr), 16).toUpper().rightJustified(8, u'0');
}

// The per-process class table.
struct ClassTable {
    std::mutex mutex;
    std::map<Guid, std::shared_ptr<ClassFactory>> factories;

    std::shared_ptr<ClassFactory> find(const Guid &clsid)
    {
        std::lock_guard lock(mutex);
        const auto found = factories.find(clsid);
        return found == factories.end() ? nullptr : found->second;
    }
};

ClassTable &classTable()
{
    static ClassTable table;
    return table;
}

// Component libraries stay loaded for the life of the process: objects and
// factories they created may outlive any count we could keep here, and their
// code (destructors, deleters) must stay mapped until the last one goes.
void *loadLibrary(const QString &path)
{
    static std::mutex mutex;
    static std::map<QString, void *> handles;
    {
        std::lock_guard lock(mutex);
        const auto found = handles.find(path);
        if (found != handles.end())
            return found->second;
    }
    // Loading runs the library's initialisers, which may create objects
    // themselves; the lock is not held across it.
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *error = dlerror();
        QString why = error ? QString::fromLocal8Bit(error) : QStringLiteral("unknown error");
        // The loader's message usually repeats the path.
        if (why.startsWith(path + QStringLiteral(": ")))
            why.remove(0, path.size() + 2);
        throw CreationFailure{QStringLiteral("cannot load %1: %2").arg(path, why)};
    }
    std::lock_guard lock(mutex);
    handles.emplace(path, handle);
    return handle;
}

std::shared_ptr<ClassFactory> factoryFromLibrary(const Guid &clsid)
{
    const QString serverKey = classesRootKey(QStringLiteral("CLSID\\") + clsid.toString() + QStringLiteral("\\InprocServer32"));
    const std::optional<QString> path = Registry().value(serverKey);
    if (!path || path->isEmpty())
        throw CreationFailure{QStringLiteral("class %1 is not registered").arg(clsid.toString())};

    void *library = loadLibrary(*path);
    dlerror();
    const auto entry = reinterpret_cast<DllGetClassObjectFn>(dlsym(library, "DllGetClassObject"));
    if (!entry)
        throw CreationFailure{QStringLiteral("%1 does not export DllGetClassObject").arg(*path)};

    void *out = nullptr;
    const HRESULT hr = entry(&clsid, &IID_IClassFactory, &out);
    // Only a success hands over a reference; what a failing library left in
    // the out parameter is not ours to delete.
    if (!succeeded(hr))
        throw CreationFailure{QStringLiteral("%1 refused class %2 with %3").arg(*path, clsid.toString(), hresultText(hr))};
    const std::unique_ptr<std::shared_ptr<Object>> handed(static_cast<std::shared_ptr<Object> *>(out));
    if (!handed || !*handed)
        throw CreationFailure{QStringLiteral("%1 returned no class factory").arg(*path)};
    auto factory = std::dynamic_pointer_cast<ClassFactory>(*handed);
    if (!factory)
        throw CreationFailure{QStringLiteral("%1 returned an object that is not a class factory").arg(*path)};
    return factory;
}

std::shared_ptr<Object> create(const Guid &clsid)
{
    std::shared_ptr<ClassFactory> factory = classTable().find(clsid);
    if (!factory)
        factory = factoryFromLibrary(clsid);
    std::shared_ptr<Object> object = factory->createInstance();
    if (!object)
        throw CreationFailure{QStringLiteral("the class factory of %1 created no object").arg(clsid.toString())};
    return object;
}

// Runs one creation and reports any failure as error 429 naming what the
// caller asked for.
template <typename Step>
std::shared_ptr<Object> creating(const QString &identifier, Step step)
{
    QString reason;
    try {
        return step();
    } catch (const CreationFailure &failure) {
        reason = failure.reason;
    } catch (const vb::Error &error) {
        reason = error.numberAndDescription();
    } catch (const std::exception &error) {
        reason = QString::fromLocal8Bit(error.what());
    } catch (...) {
        reason = QStringLiteral("unknown failure");
    }
    throw vb::Error(vb::err::CannotCreateObject,
                    vb::Error::standardDescription(vb::err::CannotCreateObject) + QStringLiteral(": ") + identifier
                        + QStringLiteral(" (") + reason + u')');
}

} // namespace

std::optional<Guid> classIdFromProgId(const QString &progId)
{
    if (progId.isEmpty())
        return std::nullopt;
    const std::optional<QString> text = Registry().value(classesRootKey(progId + QStringLiteral("\\CLSID")));
    if (!text)
        return std::nullopt;
    return Guid::parse(text->trimmed());
}

std::shared_ptr<Object> createObject(const QString &progId)
{
    return creating(progId, [&] {
        const std::optional<Guid> clsid = classIdFromProgId(progId);
        if (!clsid)
            throw CreationFailure{QStringLiteral("the identifier is not registered with a valid CLSID")};
        return create(*clsid);
    });
}

std::shared_ptr<Object> createInstance(const Guid &clsid)
{
    return creating(clsid.toString(), [&] { return create(clsid); });
}

void registerClassObject(const Guid &clsid, std::shared_ptr<ClassFactory> factory)
{
    if (!factory)
        return revokeClassObject(clsid);
    // A replaced factory is let go only once the lock is released (the lock is
    // declared after it, so it goes first): its destructor may call back into
    // the runtime.
    std::shared_ptr<ClassFactory> replaced;
    ClassTable &table = classTable();
    std::lock_guard lock(table.mutex);
    std::shared_ptr<ClassFactory> &slot = table.factories[clsid];
    replaced = std::exchange(slot, std::move(factory));
}

void revokeClassObject(const Guid &clsid)
{
    // Released after the lock, as above.
    std::shared_ptr<ClassFactory> revoked;
    ClassTable &table = classTable();
    std::lock_guard lock(table.mutex);
    const auto found = table.factories.find(clsid);
    if (found != table.factories.end()) {
        revoked = std::move(found->second);
        table.factories.erase(found);
    }
}

HRESULT exportFactory(std::shared_ptr<Object> factory, const Guid *iid, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!iid)
        return E_POINTER;
    if (!factory)
        return CLASS_E_CLASSNOTAVAILABLE;
    // This runs behind a C entry point: nothing may escape it.
    try {
        if (!factory->queryInterface(*iid))
            return E_NOINTERFACE;
        *out = new std::shared_ptr<Object>(std::move(factory));
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace com
