#include "demo_environment.h"

#include "catalogue.h"
#include "platform/com/registration.h"
#include "platform/rdo/connection_string.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace demo {

namespace {

constexpr int SampleArticles = 2000;
constexpr int SampleSeed = 1;

void writeIfMissing(const QString &path, const QByteArray &contents)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
}

// The demo's own settings as a new shop would find them: company 1, its cash
// price list (list 0: the sale price type "Contado" of the sample catalogue),
// and scale labels "2 IIIII V WWWWW C" carrying grams.
const char DefaultDemoSettings[] = "[Demo]\n"
                                   "Empresa=1\n"
                                   "ListaPrecios=0\n"
                                   "\n"
                                   "; Scale labels: prefix=peso,DIGITS (grams) or precio,DIGITS (cents),\n"
                                   "; the digits standing right before the check digit.\n"
                                   "[Balanza]\n"
                                   "2=\"peso,5\"\n";

} // namespace

DemoOptions parseOptions(const QStringList &arguments)
{
    DemoOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const auto value = [&](QString &into) {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("%1 needs a value").arg(argument);
                return;
            }
            into = arguments[++i];
        };
        if (argument == u"--db")
            value(options.connection);
        else if (argument == u"--db-file")
            value(options.connectionFile);
        else if (argument == u"--folder")
            value(options.folder);
        else if (argument == u"--keys")
            value(options.keys);
        else if (argument == u"--screenshot")
            value(options.screenshot);
        else if (argument == u"--help" || argument == u"-h")
            options.help = true;
        else
            options.error = QStringLiteral("unknown option %1").arg(rdo::maskPasswords(argument));
        if (!options.error.isEmpty())
            break;
    }
    return options;
}

QString usage()
{
    return QStringLiteral(
        "Usage: vok-demo [--db CONNECTION | --db-file FILE] [--folder FOLDER] [--keys SCRIPT] [--screenshot FILE]\n"
        "  --db CONNECTION   the shop database: sqlite:PATH or odbc:... (default: $VOK_DB, else\n"
        "                    the sample catalogue beside the program, generated on first run)\n"
        "  --db-file FILE    the connection string kept in FILE, which only its owner may read\n"
        "  --folder FOLDER   settings, registry and form file (default: the user's data folder)\n"
        "  --keys SCRIPT     types the keys into the demo once it shows: characters, and\n"
        "                    {ENTER} {TAB} {ESC} {F4} {F12} {DOWN} {UP} {BS} {WAIT}\n"
        "  --screenshot FILE saves the screen as a PNG once the keys are typed, then quits\n");
}

DemoEnvironment::DemoEnvironment(const QString &folder)
    : m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : folder)
{
    QDir().mkpath(m_folder);
    qputenv("VOK_REGISTRY", QDir(m_folder).filePath(QStringLiteral("registry.reg")).toLocal8Bit());
    qputenv("VOK_SETTINGS", hostSettingsPath().toLocal8Bit());
    writeIfMissing(hostSettingsPath(), "[VOK04]\nIdioma=1\nIdioma2=0\n");
    writeIfMissing(demoSettingsPath(), DefaultDemoSettings);
}

QString DemoEnvironment::hostSettingsPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("settings.ini"));
}

QString DemoEnvironment::demoSettingsPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("demo.ini"));
}

QString DemoEnvironment::formPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("ventas.form"));
}

bool DemoEnvironment::registerHostComponents(const QString &applicationDir, QString *why)
{
    const QString library = QDir::cleanPath(QDir(applicationDir).filePath(QStringLiteral("../lib/libvokhost.so")));
    return com::registerServer(library, why) == com::S_OK;
}

void DemoEnvironment::mapDrive(QChar letter, const QString &folder)
{
    QSettings settings(hostSettingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Rutas/") + letter, folder);
}

int DemoEnvironment::language() const
{
    return QSettings(hostSettingsPath(), QSettings::IniFormat).value(QStringLiteral("VOK04/Idioma"), 1).toInt();
}

void DemoEnvironment::setLanguage(int idioma)
{
    QSettings settings(hostSettingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("VOK04/Idioma"), idioma);
}

QString sampleCatalogue(const QString &applicationDir)
{
    const QString path = QDir::cleanPath(QDir(applicationDir).filePath(QStringLiteral("../sample/catalogo.sqlite")));
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).path());
        vok::catalogue::Options options;
        options.articles = SampleArticles;
        options.seed = SampleSeed;
        options.output = path.toStdString();
        options.lookupIndexes = true;
        vok::catalogue::generate(options);
        vok::catalogue::writePhotos(path.toStdString());
    }
    return path;
}

std::shared_ptr<rdo::rdoConnection> openShopDatabase(const QString &connection, QString *why)
{
    try {
        return rdo::rdoConnection::open(connection);
    } catch (const vb::Error &error) {
        *why = error.numberAndDescription();
    } catch (const std::exception &error) {
        *why = QString::fromLocal8Bit(error.what());
    }
    return nullptr;
}

} // namespace demo
