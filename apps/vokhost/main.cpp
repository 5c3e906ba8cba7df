// vokhost: the console host of the article-entry control. It hosts one control
// on the headless toolkit, with our host components, reads one command a line
// on stdin and answers in JSON lines on stdout (see the README, "The console
// host: vokhost").
//
// Usage: vokhost --db CONNECTION [--settings FILE] [--screen WxH]

#include "command.h"
#include "session.h"

#include "platform/com/registration.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr int UsageFailure = 1;
constexpr int ConnectionFailure = 2;

struct Options {
    QString connection;
    QString settings;
    ui::Twips screenWidth = 15360;
    ui::Twips screenHeight = 11520;
};

int usage(const QString &why)
{
    std::fprintf(stderr, "vokhost: %s\nusage: vokhost --db CONNECTION [--settings FILE] [--screen WxH]\n",
                 qUtf8Printable(why));
    return UsageFailure;
}

// Empty when the arguments are usable, else why not.
QString readOptions(const QStringList &arguments, Options &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        if (i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(option);
        const QString &value = arguments.at(++i);
        if (option == QStringLiteral("--db")) {
            options.connection = value;
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
        } else {
            return QStringLiteral("unknown option %1").arg(option);
        }
    }
    if (options.connection.isEmpty())
        return QStringLiteral("--db CONNECTION is required");
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (const QString why = readOptions(app.arguments().mid(1), options); !why.isEmpty())
        return usage(why);

    std::shared_ptr<rdo::rdoConnection> connection;
    try {
        connection = rdo::rdoConnection::open(options.connection);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "vokhost: cannot open the connection %s: %s\n", qUtf8Printable(options.connection),
                     error.what());
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
        vokhost::Session session(headless, connection);
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
