// Types arbitrary text into the control and presses Enter, on a small
// catalogue: whatever the text (quotes, brackets, %, _, *, control
// characters, NUL, lone surrogates, very long), the lookup statement has the
// shape of the one built for a harmless text, and the lookup ends without an
// error. A NUL is the one exception: SQLite stops reading a statement at a
// NUL, so the statement is refused, and that refusal must be the error.
//
// The first byte chooses the control's settings, the rest is the text.

#include "fuzz_support.h"
#include "faulty_connection.h"

#include "control/vok_t_articulo.h"
#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

class ErrorLog final : public vokTArticuloEvents {
public:
    void Error(const QString &text) override { errors << text; }
    QStringList errors;
};

struct Host {
    QTemporaryDir folder;
    std::shared_ptr<vok::test::FaultyConnection> connection;
    ErrorLog log;
    std::unique_ptr<vokTArticulo> control;

    Host()
    {
        qputenv("VOK_REGISTRY", QFile::encodeName(folder.filePath(QStringLiteral("registry.reg"))));
        qputenv("VOK_SETTINGS", QFile::encodeName(folder.filePath(QStringLiteral("settings.ini"))));
        const QString platform = com::libraryPathOf(reinterpret_cast<const void *>(&com::registerServer));
        const QString components = QFileInfo(platform).absoluteDir().filePath(QStringLiteral("libvokhost.so"));
        // Registering loads the host components and unloads them again. The
        // fuzzer keeps the coverage counters of every library it has seen
        // loaded and clears them before each input: once unloaded, those
        // counters lie in memory the process has handed out again. Held
        // here, the library stays mapped for the whole run.
        if (!dlopen(QFile::encodeName(components).constData(), RTLD_NOW | RTLD_NODELETE)) {
            std::fprintf(stderr, "cannot load the host components: %s\n", dlerror());
            std::abort();
        }
        QString why;
        if (com::registerServer(components, &why) != com::S_OK) {
            std::fprintf(stderr, "cannot register the host components: %s\n", qUtf8Printable(why));
            std::abort();
        }
        connection = std::make_shared<vok::test::FaultyConnection>(
            rdo::rdoConnection::open(QStringLiteral("sqlite:") + vok::fuzz::smallCatalogue()));
        control = std::make_unique<vokTArticulo>();
        control->advise(&log);
        control->setConnect(connection);
        control->setEmpresa(1);
        control->tArticulo().setFocus();
    }

    // The lookup statement of the text, and the errors the lookup reported.
    std::pair<QString, QStringList> lookUp(const QString &text, uint8_t settings)
    {
        control->setOmitirVariedad(settings & 1);
        control->setEnUsoObligatorio((settings >> 1) & 1);
        control->setEnVentaObligatorio((settings >> 2) & 1);
        control->setFormatoLista(static_cast<uint8_t>((settings >> 3) & 3));
        control->setNombreADesplegar((settings >> 5) & 1);
        connection->failAt(0); // fails nothing, and clears the log of statements
        log.errors.clear();
        control->setText({}); // lets go of the article a former lookup left
        control->setText(text);
        static_cast<ui::HeadlessTextBox &>(control->tArticulo()).type(QStringLiteral("\r"));
        control->tArticulo().setFocus();
        const QStringList lookups = connection->statements().filter(QStringLiteral(" As Tipo"));
        return {lookups.isEmpty() ? QString() : lookups.first(), log.errors};
    }
};

Host &host()
{
    static int argc = 1;
    static char name[] = "fuzz_lookup_text";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    // Never destroyed: the language component it holds belongs to a library
    // that the process's exit may already have taken down.
    static Host *host = new Host;
    return *host;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t settings = data[0];
    const QString text = vok::fuzz::utf16Text(data + 1, size - 1);
    if (text.isEmpty()) // an empty box is not looked up
        return 0;

    static std::map<uint8_t, QStringList> harmless;
    if (!harmless.count(settings)) {
        const auto [statement, errors] = host().lookUp(QStringLiteral("tornillo"), settings);
        if (statement.isEmpty() || !errors.isEmpty())
            std::abort();
        harmless[settings] = vok::fuzz::statementShape(statement);
    }

    auto [statement, errors] = host().lookUp(text, settings);
    if (statement.isEmpty() || rdo::holdsSeveralStatements(statement)) {
        std::fprintf(stderr, "no lookup, or several statements: %s\n%s\n", qUtf8Printable(statement),
                     qUtf8Printable(errors.join(u'\n')));
        std::abort();
    }
    if (vok::fuzz::statementShape(statement) != harmless[settings]) {
        std::fprintf(stderr, "the text changed the statement's shape:\n%s\n", qUtf8Printable(statement));
        std::abort();
    }
    // The sample catalogue holds a few articles without a picture reference;
    // choosing one fails the load with error 94 whatever was typed. That is the
    // row's doing, not the text's: any other error is.
    errors.removeIf([](const QString &error) { return error.startsWith(QLatin1String("94 - ")); });
    if (!errors.isEmpty() && !(text.contains(QChar(0)) && errors.size() == 1)) {
        std::fprintf(stderr, "the lookup failed: %s\n", qUtf8Printable(errors.join(u'\n')));
        std::abort();
    }
    return 0;
}
