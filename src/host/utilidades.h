#pragma once
// The host application's utility component: settings, text normalisation and
// the application folder.
//
// Settings live in an INI file with one section per application code
// ("[VOK04]", then "Idioma=1"): $VOK_SETTINGS, else
// $XDG_CONFIG_HOME/vok/settings.ini, else ~/.config/vok/settings.ini.

#include "platform/com/object.h"

namespace host {

class Utilidades final : public com::AutomationObject {
public:
    explicit Utilidades(com::Module *module);

    static QString settingsPath();

    // The setting's text, or Empty when the file, the section or the key is missing.
    static vb::Variant LeerConfiguracion(const QString &application, const QString &key);
    // Our hosts search with the text as typed.
    static QString NormalizarTexto(const QString &text) { return text; }
    // The folder of the running host program, without a trailing separator.
    static QString RutaAplicacion();
};

} // namespace host
