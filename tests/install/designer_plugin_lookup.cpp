// Looks for our Designer plugin as Designer does, in the designer/ folder of
// each of Qt's plugin folders (Qt's own, then those of QT_PLUGIN_PATH), and
// prints what it finds: the file, the metadata Qt reads without loading it,
// and, loaded, the widget it offers and the header uic writes for it.
// Exits 1 when none of the folders holds it or it does not load.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QCoreApplication>
#include <QDir>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto print = [](const QString &key, const QString &value) {
        std::printf("%s %s\n", qPrintable(key), qPrintable(value));
    };
    print(QStringLiteral("plugins"), QLibraryInfo::path(QLibraryInfo::PluginsPath));
    for (const QString &folder : QCoreApplication::libraryPaths()) {
        const QDir designer(folder + QStringLiteral("/designer"));
        for (const QString &name : designer.entryList(QDir::Files)) {
            QPluginLoader loader(designer.absoluteFilePath(name));
            const QJsonObject metaData = loader.metaData();
            if (metaData.value(QStringLiteral("className")).toString() != u"vokArticuloWidgetPlugin")
                continue;
            print(QStringLiteral("file"), QDir::cleanPath(loader.fileName()));
            print(QStringLiteral("iid"), metaData.value(QStringLiteral("IID")).toString());
            auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
            if (!plugin) {
                print(QStringLiteral("error"), loader.errorString());
                return 1;
            }
            print(QStringLiteral("widget"), plugin->name());
            print(QStringLiteral("include"), plugin->includeFile());
            return 0;
        }
    }
    return 1;
}
