// vok-demo: a small sales-entry application, the kind of host the
// article-entry control lives in. The cashier enters articles by code, scale
// label or name words; F4 opens the advanced search and F12 the article's
// detail. A second window shows the control's configuration and its events.

#include "control_settings_form.h"
#include "demo_environment.h"
#include "key_script.h"
#include "sales_form.h"
#include "scale_barcode.h"

#include "platform/com/property_bag.h"
#include "platform/rdo/connection_string.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"
#include "widget/form_persistence.h"
#include "widget/vok_articulo_widget.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <cstdio>

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "vok-demo: %s\n", qUtf8Printable(why));
    return 2;
}

// The form's controls as they were saved; a control the file does not know
// starts as a new instance.
void loadForm(QWidget &form, com::FormStore &store, demo::ControlSettingsForm *settings)
{
    try {
        if (QFileInfo::exists(store.path()))
            store.load();
        vokwidget::loadForm(&form, store);
    } catch (const vb::Error &error) {
        if (settings)
            settings->log(QStringLiteral("form file not loaded: %1").arg(error.numberAndDescription()));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vok-demo"));
    const demo::DemoOptions options = demo::parseOptions(app.arguments().mid(1));
    if (options.help || !options.error.isEmpty()) {
        std::fprintf(options.help ? stdout : stderr, "%s%s", qUtf8Printable(options.error.isEmpty() ? QString() : "vok-demo: " + options.error + "\n"),
                     qUtf8Printable(demo::usage()));
        return options.help ? 0 : 1;
    }

    demo::DemoEnvironment environment(options.folder);
    QString why;
    if (!environment.registerHostComponents(QApplication::applicationDirPath(), &why))
        return fail(QStringLiteral("cannot register the host components: %1").arg(why));
    const std::optional<QString> chosen = rdo::chooseConnectionString(options.connection, options.connectionFile, &why);
    if (!chosen)
        return fail(why);
    QString connectionString = *chosen;
    if (connectionString.isEmpty()) {
        try {
            const QString sample = demo::sampleCatalogue(QApplication::applicationDirPath());
            connectionString = QStringLiteral("sqlite:") + sample;
            environment.mapDrive(u'D', QFileInfo(sample).path());
        } catch (const std::exception &error) {
            return fail(QStringLiteral("cannot make the sample catalogue: %1").arg(QString::fromLocal8Bit(error.what())));
        }
    }
    const auto connection = demo::openShopDatabase(connectionString, &why);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(rdo::maskPasswords(connectionString), why));

    QSettings demoSettings(environment.demoSettingsPath(), QSettings::IniFormat);
    QStringList problems;
    const auto rules = demo::readScaleRules(demoSettings, &problems);
    for (const QString &problem : problems)
        std::fprintf(stderr, "vok-demo: %s: %s\n", qUtf8Printable(environment.demoSettingsPath()), qUtf8Printable(problem));

    demo::SalesForm sales(connection, rules);
    vokArticuloWidget &articulo = sales.articulo();
    com::FormStore store(environment.formPath());
    loadForm(sales, store, nullptr);
    // The demo shows the suggestions unless its saved form says otherwise.
    if (!store.find(articulo.objectName()))
        articulo.setSugerencias(true);
    const int priceList = demoSettings.value(QStringLiteral("Demo/ListaPrecios"), 0).toInt();
    articulo.setEmpresa(demoSettings.value(QStringLiteral("Demo/Empresa"), 1).toInt());
    articulo.setListaPrecios(priceList);
    sales.setLanguage(environment.language());
    try {
        articulo.control().setConnect(connection);
    } catch (const vb::Error &error) {
        return fail(QStringLiteral("the control cannot connect: %1").arg(error.numberAndDescription()));
    }

    demo::ControlSettingsForm settings(
        articulo,
        [&] {
            vokwidget::saveForm(&sales, store);
            store.save();
        },
        [&](int idioma) {
            // The control reads the host's language when it connects.
            environment.setLanguage(idioma);
            sales.setLanguage(idioma);
            try {
                articulo.control().setConnect(nullptr);
                articulo.control().setConnect(connection);
                settings.log(QStringLiteral("language %1: reconnected").arg(idioma));
            } catch (const vb::Error &error) {
                settings.log(QStringLiteral("language %1: %2").arg(idioma).arg(error.numberAndDescription()));
            }
        },
        environment.language());

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    sales.resize(760, 480);
    sales.move(screen.left() + 40, screen.top() + 40);
    settings.resize(420, 640);
    settings.move(sales.geometry().right() + 30, screen.top() + 40);
    sales.show();
    settings.show();
    sales.activateWindow();
    articulo.setFocus();

    QString scriptProblem;
    const auto keys = demo::parseKeyScript(options.keys, &scriptProblem);
    if (!keys)
        return fail(scriptProblem);
    demo::KeyScriptPlayer player(*keys);
    QObject::connect(&player, &demo::KeyScriptPlayer::finished, &sales, [&] {
        if (options.screenshot.isEmpty())
            return;
        // The whole screen, so that a list or a dialog the keys opened shows too.
        QTimer::singleShot(700, &sales, [&] {
            const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(options.screenshot);
            std::fprintf(stderr, "vok-demo: %s %s\n", saved ? "saved" : "could not save", qUtf8Printable(options.screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    });
    QTimer::singleShot(500, &player, &demo::KeyScriptPlayer::start);
    return QApplication::exec();
}
