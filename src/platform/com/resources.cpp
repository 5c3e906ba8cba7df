#include "resources.h"

#include "platform/vb/error.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <dlfcn.h>

#include <memory>

namespace com {

namespace {

vb::Error formatError(const QString &what)
{
    return vb::Error(InvalidResourceFormat, QStringLiteral("Invalid format in resource file: ") + what);
}

struct LibraryCloser {
    void operator()(void *handle) const { dlclose(handle); }
};

} // namespace

QByteArray loadResource(const QString &libraryPath, const QString &type, const QString &name)
{
    const std::unique_ptr<void, LibraryCloser> library(
        dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        const char *why = dlerror();
        throw vb::Error(ErrorLoadingLibrary, QStringLiteral("Error in loading DLL: ")
                                                 + (why ? QString::fromLocal8Bit(why) : libraryPath));
    }
    const auto find = reinterpret_cast<FindResourceFn>(dlsym(library.get(), "VokFindResource"));
    if (!find)
        throw vb::Error(ErrorLoadingLibrary,
                        QStringLiteral("Error in loading DLL: %1 carries no resources").arg(libraryPath));

    const void *data = nullptr;
    uint32_t size = 0;
    const auto text = [](const QString &s) { return reinterpret_cast<const char16_t *>(s.utf16()); };
    const HRESULT hr = find(text(type), text(name), &data, &size);
    if (!succeeded(hr) || (!data && size > 0))
        throw vb::Error(ResourceNotFound, QStringLiteral("Resource with identifier '%1' not found (type %2 in %3)")
                                              .arg(name, type, libraryPath));
    // Copied before the library is released: the bytes live in its image.
    return QByteArray(static_cast<const char *>(data), static_cast<qsizetype>(size));
}

std::vector<Guid> parseIdentityHistory(const QByteArray &resource)
{
    if (resource.size() < 4)
        throw formatError(QStringLiteral("identity history shorter than its length"));
    const auto byte = [&](qsizetype i) { return static_cast<uint32_t>(static_cast<uint8_t>(resource[i])); };
    const uint32_t length = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    if (length % 16 != 0 || static_cast<qsizetype>(length) != resource.size() - 4)
        throw formatError(
            QStringLiteral("identity history of %1 bytes declares %2").arg(resource.size() - 4).arg(length));
    std::vector<Guid> identities;
    for (qsizetype at = 4; at < resource.size(); at += 16) {
        std::array<uint8_t, 16> bytes{};
        for (qsizetype i = 0; i < 16; ++i)
            bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(resource[at + i]);
        identities.emplace_back(bytes);
    }
    return identities;
}

TypeLibrary parseTypeLibrary(const QByteArray &resource)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(resource, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw formatError(QStringLiteral("type library: ") + error.errorString());
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != QStringLiteral("vok-typelib 1"))
        throw formatError(QStringLiteral("type library of an unknown format"));

    const auto identity = [](const QJsonValue &value, const QString &what) {
        const std::optional<Guid> guid = Guid::parse(value.toString());
        if (!guid)
            throw formatError(QStringLiteral("type library: %1 is no identity").arg(what));
        return *guid;
    };

    TypeLibrary library;
    library.document = root;
    library.name = root.value(QStringLiteral("name")).toString();
    library.libid = identity(root.value(QStringLiteral("libid")), QStringLiteral("libid"));
    library.version = root.value(QStringLiteral("version")).toString();
    library.helpString = root.value(QStringLiteral("helpString")).toString();
    for (const QJsonValue &entry : root.value(QStringLiteral("coclasses")).toArray()) {
        const QJsonObject coclass = entry.toObject();
        const QString name = coclass.value(QStringLiteral("name")).toString();
        library.classes.push_back({name, identity(coclass.value(QStringLiteral("clsid")), name),
                                   coclass.value(QStringLiteral("progId")).toString()});
    }
    return library;
}

TypeLibrary loadTypeLibrary(const QString &libraryPath)
{
    return parseTypeLibrary(loadResource(libraryPath, QStringLiteral("TYPELIB"), QStringLiteral("1")));
}

} // namespace com
