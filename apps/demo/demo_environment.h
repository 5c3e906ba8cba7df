#pragma once
// Where the demo keeps its things and how it starts: a folder holding the
// registry of the host components, the host's settings file (the language),
// the demo's own settings (company, price list, scale rules) and the form
// file with the control's design-time properties; and the shop database.

#include <QString>
#include <QStringList>

#include <memory>

namespace rdo {
class rdoConnection;
}

namespace demo {

struct DemoOptions {
    QString connection;  // --db: any connection string the database layer takes
    QString connectionFile; // --db-file: a file only its owner reads, holding the connection string
    QString folder;      // --folder: where settings, registry and form file live
    QString keys;        // --keys SCRIPT: keys typed into the demo once it shows
    QString screenshot;  // --screenshot FILE: save the screen as a picture and quit
    bool help = false;
    QString error;       // non-empty when the command line is unusable
};

DemoOptions parseOptions(const QStringList &arguments);
QString usage();

class DemoEnvironment {
public:
    // Uses folder, creating it and writing the default settings files that are
    // missing; makes the registry and the host settings the process's own.
    explicit DemoEnvironment(const QString &folder);

    QString folder() const { return m_folder; }
    QString hostSettingsPath() const;
    QString demoSettingsPath() const;
    QString formPath() const;

    // Registers the host components (messages, settings, item list, language
    // packs) from the library installed beside the demo.
    bool registerHostComponents(const QString &applicationDir, QString *why);

    // Where the host's paths on drive letter live here ([Rutas] of the host
    // settings): the sample catalogue's photographs are under "D:\Img\".
    void mapDrive(QChar letter, const QString &folder);

    // The host's language: 1 Spanish, 2 English (Idioma of the host settings).
    int language() const;
    void setLanguage(int idioma);

private:
    QString m_folder;
};

// The sample catalogue beside the demo, generated with its photographs on
// first use.
QString sampleCatalogue(const QString &applicationDir);
// Opens the connection; nullptr with the reason when it cannot be opened.
std::shared_ptr<rdo::rdoConnection> openShopDatabase(const QString &connection, QString *why);

} // namespace demo
