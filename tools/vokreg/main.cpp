// vokreg: registers or unregisters a component library the way an installer
// does (through its own DllRegisterServer / DllUnregisterServer), and lists
// what a library declares: its type library and classes, and whether each
// class is registered in the current registry ($VOK_REGISTRY or the user's).
// `setup` registers what a host needs from the installation vokreg belongs
// to: the host components with their language packs, then the control.
//
//   vokreg register FILE | unregister FILE | list FILE | setup
//
// Exit codes: 0 done, 1 the library failed (or could not be read), 2 usage.

#include "platform/com/registration.h"
#include "platform/com/registry.h"
#include "platform/com/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QString>

#include <dlfcn.h>

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
    print(stderr, QStringLiteral("usage: vokreg register|unregister|list FILE, or vokreg setup\n"
                                 "  register    run the library's DllRegisterServer\n"
                                 "  unregister  run the library's DllUnregisterServer\n"
                                 "  list        show what the library carries and which of its classes are registered\n"
                                 "  setup       register the host components and the control installed with vokreg\n"));
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

// The classes the registry has from this file, under whatever path it was
// registered (the soname, the development link, the real file).
void listRegisteredFrom(const QString &library, const com::Registry &registry)
{
    const QString file = QFileInfo(library).canonicalFilePath();
    const QString classes = QString::fromUtf16(com::ClassesRoot) + QStringLiteral("\\CLSID");
    int found = 0;
    for (const QString &clsid : registry.subKeys(classes)) {
        const QString key = classes + u'\\' + clsid;
        const auto server = registry.value(key + QStringLiteral("\\InprocServer32"));
        if (!server || QFileInfo(*server).canonicalFilePath() != file)
            continue;
        ++found;
        print(stdout, QStringLiteral("class %1 %2 registered (%3)\n")
                          .arg(clsid, registry.value(key + QStringLiteral("\\ProgID")).value_or(QString()), *server));
    }
    if (found == 0)
        print(stdout, QStringLiteral("no class of it is registered in %1\n").arg(registry.path()));
}

// Whether the library defines the entry point itself: a library that links
// the control's (the widget's) finds the control's entry points through it.
bool definesEntryPoint(QLibrary &loaded, const QString &library, const char *name)
{
    const QFunctionPointer entry = loaded.resolve(name);
    Dl_info where{};
    return entry && dladdr(reinterpret_cast<void *>(entry), &where) != 0 && where.dli_fname
        && QFileInfo(QString::fromLocal8Bit(where.dli_fname)).canonicalFilePath()
               == QFileInfo(library).canonicalFilePath();
}

int list(const QString &library)
{
    QLibrary loaded(library);
    if (!loaded.load()) {
        print(stderr, QStringLiteral("vokreg: %1\n").arg(loaded.errorString()));
        return Failure;
    }
    const com::Registry registry;
    // The control's library describes its classes in a type library; the
    // host components' library registers classes it finds at run time (one
    // per language pack); the others hold no class at all.
    if (!definesEntryPoint(loaded, library, "VokFindResource")) {
        if (!definesEntryPoint(loaded, library, "DllRegisterServer")) {
            print(stdout, QStringLiteral("library %1 holds no classes: nothing to register\n").arg(library));
            return Ok;
        }
        print(stdout, QStringLiteral("library %1 has no type library; it registers its classes itself "
                                     "(vokreg register)\n")
                          .arg(library));
        listRegisteredFrom(library, registry);
        return Ok;
    }
    const com::TypeLibrary typeLibrary = com::loadTypeLibrary(library);
    print(stdout, QStringLiteral("library %1 %2 %3 \"%4\"\n")
                      .arg(typeLibrary.name, typeLibrary.version, typeLibrary.libid.toString(),
                           typeLibrary.helpString));
    for (const com::TypeLibrary::Class &entry : typeLibrary.classes) {
        const auto server = registry.value(com::classKey(entry.clsid) + QStringLiteral("\\InprocServer32"));
        const QString state =
            server ? QStringLiteral("registered (%1)").arg(*server) : QStringLiteral("not registered");
        print(stdout,
              QStringLiteral("class %1 %2 %3 %4\n").arg(entry.name, entry.clsid.toString(), entry.progId, state));
    }
    return Ok;
}

// The libraries of the installation this vokreg belongs to: the library
// folder as installed relative to the programs' folder, or, in a build tree,
// the lib folder beside bin.
QString libraryFolder()
{
    const QDir programs(QCoreApplication::applicationDirPath());
    const QString installed = programs.absoluteFilePath(QStringLiteral(VOK_LIBDIR_FROM_BINDIR));
    if (QFileInfo::exists(installed + QStringLiteral("/" VOK_HOST_LIBRARY)))
        return installed;
    return programs.absoluteFilePath(QStringLiteral("../lib"));
}

// The host components first: registering them registers the language packs
// the control's first connection asks for.
int setup()
{
    const QDir folder(libraryFolder());
    for (const char *name : {VOK_HOST_LIBRARY, VOK_CONTROL_LIBRARY}) {
        const QString library = QDir::cleanPath(folder.absoluteFilePath(QString::fromLatin1(name)));
        if (!QFileInfo(library).isFile()) {
            print(stderr, QStringLiteral("vokreg: %1: no such file\n").arg(library));
            return Failure;
        }
        if (const int status = runEntryPoint(QStringLiteral("register"), library); status != Ok)
            return status;
    }
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    const QCoreApplication application(argc, argv);
    if (argc == 2 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("setup")) {
        try {
            return setup();
        } catch (const std::exception &e) {
            print(stderr, QStringLiteral("vokreg: %1\n").arg(QString::fromLocal8Bit(e.what())));
            return Failure;
        }
    }
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
