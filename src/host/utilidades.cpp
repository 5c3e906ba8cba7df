#include "utilidades.h"

#include "ini_file.h"

#include "platform/vb/conversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace host {

Utilidades::Utilidades(com::Module *module) : AutomationObject(module)
{
    addMethod(QStringLiteral("LeerConfiguracion"), [](std::span<vb::Variant> args) {
        return LeerConfiguracion(vb::CStr(argument(args, 0)), vb::CStr(argument(args, 1)));
    });
    addMethod(QStringLiteral("NormalizarTexto"), [](std::span<vb::Variant> args) {
        return vb::Variant(NormalizarTexto(vb::CStr(argument(args, 0))));
    });
    addMethod(QStringLiteral("RutaAplicacion"), [](std::span<vb::Variant>) {
        return vb::Variant(RutaAplicacion());
    });
}

QString Utilidades::settingsPath()
{
    if (const QString path = qEnvironmentVariable("VOK_SETTINGS"); !path.isEmpty())
        return path;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/vok/settings.ini");
}

vb::Variant Utilidades::LeerConfiguracion(const QString &application, const QString &key)
{
    if (const auto value = IniFile::read(settingsPath()).value(application, key))
        return *value;
    return {};
}

QString Utilidades::RutaAplicacion()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

} // namespace host
