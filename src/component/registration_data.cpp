#include "registration_data.h"

#include "embedded_resources.h"
#include "identities.h"
#include "type_library.h"

#include "platform/com/registration.h"
#include "platform/com/registry.h"

#include <QFileInfo>

namespace component {

namespace {

QString root(const QString &subKey)
{
    return QString::fromUtf16(com::ClassesRoot) + u'\\' + subKey;
}

QString interfaceKey(const com::Guid &iid)
{
    return root(QStringLiteral("Interface\\") + iid.toString());
}

QString typeLibraryVersionKey()
{
    return typeLibraryKey() + u'\\' + typeLibraryVersion();
}

} // namespace

QString typeLibraryKey()
{
    return root(QStringLiteral("TypeLib\\") + LIBID_vokArtBuscar.toString());
}

std::vector<RegistryItem> registrationItems(const QString &libraryPath)
{
    const QString progId = QString::fromLatin1(ProgId);
    const QString clsid = CLSID_vokTArticulo.toString();
    const QString classKey = com::classKey(CLSID_vokTArticulo);
    const QString libid = LIBID_vokArtBuscar.toString();
    const QString version = typeLibraryVersion();
    const QString versionInfo = classKey + QStringLiteral("\\VersionInfo");
    const QString typeLib = typeLibraryVersionKey();

    std::vector<RegistryItem> items = {
        {root(progId), {}, description()},
        {root(progId) + QStringLiteral("\\CLSID"), {}, clsid},
        {classKey, {}, description()},
        {classKey + QStringLiteral("\\ProgID"), {}, progId},
        {classKey + QStringLiteral("\\InprocServer32"), {}, libraryPath},
        {classKey + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"), QStringLiteral("Apartment")},
        {classKey + QStringLiteral("\\Control"), {}, {}},
        {classKey + QStringLiteral("\\MiscStatus"), {}, QString::fromLatin1(MiscStatus)},
        {classKey + QStringLiteral("\\ToolboxBitmap32"), {}, libraryPath + u',' + QString::fromLatin1(ToolboxBitmapId)},
        {classKey + QStringLiteral("\\TypeLib"), {}, libid},
        {classKey + QStringLiteral("\\Version"), {}, version},
        {versionInfo, QStringLiteral("FileVersion"), QString::fromLatin1(FileVersion)},
        {versionInfo, QStringLiteral("ProductVersion"), QString::fromLatin1(FileVersion)},
        {versionInfo, QStringLiteral("DisplayVersion"), QString::fromLatin1(FileVersionShown)},
        {versionInfo, QStringLiteral("InternalName"), QStringLiteral("vokBArticulo")},
        {versionInfo, QStringLiteral("OriginalFilename"), QStringLiteral("vokBArticulo.ocx")},
        {versionInfo, QStringLiteral("ProductName"), description()},
        {versionInfo, QStringLiteral("OLESelfRegister"), {}},
        {typeLib, {}, description()},
        {typeLib + QStringLiteral("\\0\\linux"), {}, libraryPath},
        {typeLib + QStringLiteral("\\FLAGS"), {}, QStringLiteral("0")},
        {typeLib + QStringLiteral("\\HELPDIR"), {}, QFileInfo(libraryPath).absolutePath()},
    };
    const std::pair<com::Guid, const char *> interfaces[] = {
        {IID_vokTArticulo(), DefaultInterfaceName},
        {DIID_vokTArticuloEvents(), EventInterfaceName},
    };
    for (const auto &[iid, name] : interfaces) {
        items.push_back({interfaceKey(iid), {}, QString::fromLatin1(name)});
        items.push_back({interfaceKey(iid) + QStringLiteral("\\TypeLib"), {}, libid});
        items.push_back({interfaceKey(iid) + QStringLiteral("\\TypeLib"), QStringLiteral("Version"), version});
    }
    return items;
}

QStringList registrationKeys()
{
    return {root(QString::fromLatin1(ProgId)), com::classKey(CLSID_vokTArticulo), typeLibraryVersionKey(),
            interfaceKey(IID_vokTArticulo()), interfaceKey(DIID_vokTArticuloEvents())};
}

} // namespace component
