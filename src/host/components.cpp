// Entry points of the host components library: the utility component, the
// message component, the item list and one language component per installed
// language pack.

#include "language_pack.h"
#include "lista_items.h"
#include "mensajes.h"
#include "utilidades.h"

#include "language/host_components.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

com::Module hostModule;

const com::ClassRegistration utilidadesClass{
    *com::Guid::parse(u"{3B1D6C52-8E0F-4C1A-9A57-1F4E2D6B7C10}"), language::UtilidadesProgId,
    QStringLiteral("Host utilities: settings, text normalisation, application folder")};
const com::ClassRegistration mensajesClass{
    *com::Guid::parse(u"{9C4E2A71-5B3D-4F86-8E21-6A0D9B3C4E52}"), language::MensajesProgId,
    QStringLiteral("Host messages: error and information boxes")};
const com::ClassRegistration listaItemsClass{language::ListaItemsClsid, language::ListaItemsProgId,
                                             QStringLiteral("Host item list: runs a lookup and lets the user choose a row")};

const QString PackValue = QStringLiteral("\\LanguagePack");

QString thisLibrary()
{
    return com::libraryPathOf(reinterpret_cast<const void *>(&thisLibrary));
}

// Language packs: $VOK_LANGUAGE_DIR, else the folder "lang" next to the
// library file (as a build lays them out), else the installed packs' folder,
// reached from the library's folder by the same relative path wherever the
// package was installed.
QString packFolder()
{
    if (const QString dir = qEnvironmentVariable("VOK_LANGUAGE_DIR"); !dir.isEmpty())
        return dir;
    const QString libraryFolder = QFileInfo(thisLibrary()).absolutePath();
    const QString beside = libraryFolder + QStringLiteral("/lang");
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(libraryFolder + u'/' + QStringLiteral(VOK_INSTALLED_LANGUAGE_DIR));
}

QFileInfoList packFiles()
{
    return QDir(packFolder()).entryInfoList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
}

std::vector<com::ClassRegistration> packClasses(const QFileInfo &pack)
{
    std::vector<com::ClassRegistration> classes;
    for (const QString &progId : host::LanguageTexts::read(pack.absoluteFilePath()).identifiers)
        classes.push_back({com::Guid::fromName(progId), progId, QStringLiteral("Language pack ") + pack.fileName()});
    return classes;
}

std::shared_ptr<com::ClassFactory> factoryFor(const com::Guid &clsid)
{
    auto make = [](auto create) { return std::make_shared<com::FunctionClassFactory>(create, &hostModule); };
    if (clsid == utilidadesClass.clsid)
        return make([] { return std::make_shared<host::Utilidades>(&hostModule); });
    if (clsid == mensajesClass.clsid)
        return make([] { return std::make_shared<host::Mensajes>(&hostModule); });
    if (clsid == listaItemsClass.clsid)
        return make([] { return std::make_shared<host::ListaItems>(&hostModule); });
    const auto pack = com::Registry().value(com::classKey(clsid) + PackValue);
    if (!pack)
        return nullptr;
    // The pack file is read at every creation, so that a pack edited or removed
    // since registration fails loudly, naming the file.
    return make([path = *pack] {
        auto texts = std::make_shared<const host::LanguageTexts>(host::LanguageTexts::read(path));
        return std::make_shared<host::LanguagePack>(std::move(texts), &hostModule);
    });
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) com::HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid,
                                                                       void **factory)
{
    if (!clsid || !iid || !factory)
        return com::E_POINTER;
    *factory = nullptr;
    try {
        auto found = factoryFor(*clsid);
        if (!found)
            return com::CLASS_E_CLASSNOTAVAILABLE;
        return com::exportFactory(std::move(found), iid, factory);
    } catch (const std::exception &) {
        return com::E_FAIL;
    }
}

__attribute__((visibility("default"))) com::HRESULT DllCanUnloadNow()
{
    return hostModule.canUnload() ? com::S_OK : com::S_FALSE;
}

__attribute__((visibility("default"))) com::HRESULT DllRegisterServer()
{
    try {
        com::Registry registry;
        const QString library = thisLibrary();
        com::registerClass(registry, utilidadesClass, library);
        com::registerClass(registry, mensajesClass, library);
        com::registerClass(registry, listaItemsClass, library);
        for (const QFileInfo &pack : packFiles()) {
            for (const auto &entry : packClasses(pack)) {
                com::registerClass(registry, entry, library);
                registry.setValue(com::classKey(entry.clsid) + PackValue, {}, pack.absoluteFilePath());
            }
        }
        return com::S_OK;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vokhost registration: %s\n", e.what());
        return com::SELFREG_E_CLASS;
    }
}

__attribute__((visibility("default"))) com::HRESULT DllUnregisterServer()
{
    try {
        com::Registry registry;
        com::unregisterClass(registry, utilidadesClass);
        com::unregisterClass(registry, mensajesClass);
        com::unregisterClass(registry, listaItemsClass);
        for (const QFileInfo &pack : packFiles())
            for (const auto &entry : packClasses(pack))
                com::unregisterClass(registry, entry);
        return com::S_OK;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vokhost unregistration: %s\n", e.what());
        return com::SELFREG_E_CLASS;
    }
}

} // extern "C"
