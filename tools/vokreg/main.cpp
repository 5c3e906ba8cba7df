// vokreg: registers or unregisters a component library the way an installer
// does (through its own DllRegisterServer / DllUnregisterServer), and lists
// what a library declares: its type library and classes, and whether each
// class is registered in the current registry ($VOK_REGISTRY or the user's).
//
//   vokreg register FILE | unregister FILE | list FILE
//
// Exit codes: 0 done, 1 the library failed (or could not be read), 2 usage.

#include "platform/com/registration.h"
#include "platform/com/registry.h"
#include "platform/com/resources.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <exception>

namespace {

constexpr int Ok = 0;
constexpr int Failure = 1;
constexpr int Usage = 2;

void print(FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

int usage()
{
    print(stderr, QStringLiteral("usage: vokreg register|unregister|list FILE\n"
                                 "  register    run the library's DllRegisterServer\n"
                                 "  unregister  run the library's DllUnregisterServer\n"
                                 "  list        show the library's type library and classes\n"));
    return Usage;
}

QString statusText(com::HRESULT hr)
{
    return QStringLiteral("0x") + QString::number(static_cast<uint32_t>(hr), 16).toUpper().rightJustified(8, u'0');
}

int runEntryPoint(const QString &command, const QString &library)
{
    const bool registering = command == QStringLiteral("register");
    QString why;
    const com::HRESULT hr = registering ? com::registerServer(library, &why) : com::unregisterServer(library, &why);
    if (!com::succeeded(hr)) {
        const QString reason = why.isEmpty() ? QString() : QStringLiteral(": ") + why;
        print(stderr, QStringLiteral("vokreg: %1 %2 failed with %3%4\n").arg(command, library, statusText(hr), reason));
        return Failure;
    }
    print(stdout, QStringLiteral("%1: %2 in %3\n")
                      .arg(library, registering ? QStringLiteral("registered") : QStringLiteral("unregistered"),
                           com::Registry().path()));
    return Ok;
}

int list(const QString &library)
{
    const com::TypeLibrary typeLibrary = com::loadTypeLibrary(library);
    print(stdout, QStringLiteral("library %1 %2 %3 \"%4\"\n")
                      .arg(typeLibrary.name, typeLibrary.version, typeLibrary.libid.toString(),
                           typeLibrary.helpString));
    const com::Registry registry;
    for (const com::TypeLibrary::Class &entry : typeLibrary.classes) {
        const auto server = registry.value(com::classKey(entry.clsid) + QStringLiteral("\\InprocServer32"));
        const QString state =
            server ? QStringLiteral("registered (%1)").arg(*server) : QStringLiteral("not registered");
        print(stdout,
              QStringLiteral("class %1 %2 %3 %4\n").arg(entry.name, entry.clsid.toString(), entry.progId, state));
    }
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return usage();
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command != QStringLiteral("register") && command != QStringLiteral("unregister")
        && command != QStringLiteral("list"))
        return usage();

    const QFileInfo file(QString::fromLocal8Bit(argv[2]));
    if (!file.isFile()) {
        print(stderr, QStringLiteral("vokreg: %1: no such file\n").arg(file.filePath()));
        return Failure;
    }
    // An absolute path, so that the loader opens this file and the registry
    // records where it is, not a name looked up along the library path.
    const QString library = file.absoluteFilePath();
    try {
        return command == QStringLiteral("list") ? list(library) : runEntryPoint(command, library);
    } catch (const std::exception &e) {
        print(stderr, QStringLiteral("vokreg: %1: %2\n").arg(library, QString::fromLocal8Bit(e.what())));
        return Failure;
    }
}
