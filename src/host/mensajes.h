#pragma once
// The host application's message component: error and information boxes,
// shown through the toolkit in force on the thread (the headless toolkit
// records them and prints them to the standard error).

#include "platform/com/object.h"

#include <cstdint>

namespace host {

class Mensajes final : public com::AutomationObject {
public:
    explicit Mensajes(com::Module *module);

    void EstablecerIdioma(uint8_t language) { m_language = language; }
    uint8_t idioma() const { return m_language; }
    // An error box under the title: the text, then the application's title and
    // the detail in a paragraph of their own.
    void MostrarError(const QString &text, const QString &title, const QString &applicationTitle,
                      const QString &detail);
    int16_t MostrarMensaje(const QString &text, int16_t style, const QString &title);

private:
    uint8_t m_language = 1;
};

} // namespace host
