// vokhost: the console host of the article-entry control. It hosts one control
// on the headless toolkit, with our host components, reads one command a line
// on stdin and answers in JSON lines on stdout (see the README, "The console
// host: vokhost").
//
// Usage: vokhost [--db CONNECTION | --db-file FILE] [--settings FILE] [--screen WxH] [--form FILE:NAME]
// (the connection from $VOK_DB when neither is given)

#include "command.h"
#include "session.h"

#include "platform/com/property_bag.h"
#include "platform/com/registration.h"
#include "platform/rdo/connection_string.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace {

constexpr int UsageFailure = 1;
constexpr int ConnectionFailure = 2;

struct Options {
    QString connection;
    QString connectionFile;
    QString settings;
    ui::Twips screenWidth = 15360;
    ui::Twips screenHeight = 11520;
    // The stored control to load, when not a new instance.
    QString formFile;
    QString formControl;
};

int usage(const QString &why)
{
    std::fprintf(stderr,
                 "vokhost: %s\nusage: vokhost [--db CONNECTION | --db-file FILE] [--settings FILE] [--screen WxH] "
                 "[--form FILE:NAME]\n       (the connection from $VOK_DB when neither is given)\n",
                 qUtf8Printable(why));
    return UsageFailure;
}

// Empty when the arguments are usable, else why not.
QString readOptions(const QStringList &arguments, Options &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        // A connection string typed in the wrong place is still not shown.
        if (i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(rdo::maskPasswords(option));
        const QString &value = arguments.at(++i);
        if (option == QStringLiteral("--db")) {
            options.connection = value;
        } else if (option == QStringLiteral("--db-file")) {
            options.connectionFile = value;
        } else if (option == QStringLiteral("--settings")) {
            options.settings = value;
        } else if (option == QStringLiteral("--screen")) {
            const QStringList size = value.split(u'x');
            bool okWidth = false;
            bool okHeight = false;
            if (size.size() == 2) {
                options.screenWidth = size.at(0).toInt(&okWidth);
                options.screenHeight = size.at(1).toInt(&okHeight);
            }
            if (!okWidth || !okHeight || options.screenWidth <= 0 || options.screenHeight <= 0)
                return QStringLiteral("--screen takes WxH in twips, not %1").arg(value);
        } else if (option == QStringLiteral("--form")) {
            // The file name may hold colons of its own; the control's name cannot.
            const qsizetype colon = value.lastIndexOf(u':');
            if (colon <= 0 || colon == value.size() - 1)
                return QStringLiteral("--form takes FILE:NAME, not %1").arg(value);
            options.formFile = value.left(colon);
            options.formControl = value.mid(colon + 1);
        } else {
            return QStringLiteral("unknown option %1").arg(rdo::maskPasswords(option));
        }
    }
    QString why;
    const std::optional<QString> connection =
        rdo::chooseConnectionString(options.connection, options.connectionFile, &why);
    if (!connection)
        return why;
    if (connection->isEmpty())
        return QStringLiteral("the connection is required: --db CONNECTION, --db-file FILE or $VOK_DB");
    options.connection = *connection;
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (const QString why = readOptions(app.arguments().mid(1), options); !why.isEmpty())
        return usage(why);

    // A stored control comes from its form, read whole before the session
    // starts; without one the control is a new instance.
    std::optional<com::FormStore> form;
    com::MemoryPropertyBag *stored = nullptr;
    if (!options.formFile.isEmpty()) {
        form.emplace(options.formFile);
        try {
            form->load();
        } catch (const vb::Error &error) {
            return usage(QStringLiteral("cannot read the form %1: %2").arg(options.formFile, error.description()));
        }
        if (!form->find(options.formControl))
            return usage(QStringLiteral("the form %1 holds no control %2").arg(options.formFile, options.formControl));
        stored = &form->control(options.formControl);
    }

    std::shared_ptr<rdo::rdoConnection> connection;
    try {
        connection = rdo::rdoConnection::open(options.connection);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "vokhost: cannot open the connection %s: %s\n",
                     qUtf8Printable(rdo::maskPasswords(options.connection)), error.what());
        return ConnectionFailure;
    }

    if (!options.settings.isEmpty())
        qputenv("VOK_SETTINGS", QFile::encodeName(options.settings));
    QTemporaryDir scratch;
    if (qEnvironmentVariableIsEmpty("VOK_REGISTRY"))
        qputenv("VOK_REGISTRY", QFile::encodeName(QDir(scratch.path()).filePath(QStringLiteral("registry.reg"))));
    // The host components' library lies beside the platform library, in a
    // build as in any installed layout.
    const QString platformLibrary = com::libraryPathOf(reinterpret_cast<const void *>(&com::registerServer));
    const QString hostLibrary = QFileInfo(platformLibrary).absoluteDir().filePath(QStringLiteral("libvokhost.so"));
    QString why;
    if (com::registerServer(hostLibrary, &why) != com::S_OK) {
        std::fprintf(stderr, "vokhost: cannot register the host components: %s\n", qUtf8Printable(why));
        return UsageFailure;
    }

    auto &headless = dynamic_cast<ui::HeadlessToolkit &>(ui::toolkit());
    headless.screen().resize(options.screenWidth, options.screenHeight);
    {
        std::unique_ptr<vokhost::Session> started;
        try {
            started = std::make_unique<vokhost::Session>(headless, connection, stored);
        } catch (const vb::Error &error) {
            std::fprintf(stderr, "vokhost: the control cannot read its stored properties: %d %s\n", error.number(),
                         qUtf8Printable(error.description()));
            return UsageFailure;
        }
        vokhost::Session &session = *started;
        std::string line;
        while (std::getline(std::cin, line)) {
            QString text = QString::fromStdString(line);
            if (text.endsWith(u'\r'))
                text.chop(1);
            const auto command = vokhost::parseCommand(text);
            if (command && !session.execute(*command))
                break;
            // Each command has written what it saw; kept, the toolkit's
            // records would grow with every lookup of a long session.
            headless.forgetRecords();
        }
    }
    return 0;
}
