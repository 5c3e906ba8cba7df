#pragma once
// The library's language resources: the host's language component, chosen
// from the host settings, serving every user-visible text by number. The state
// is shared by all controls of a user-interface thread and kept per thread.

#include "platform/vb/variant.h"

#include <QString>

#include <cstdint>

namespace language {

// Creates the language component named by the settings "Idioma" and "Idioma2"
// of the application and hands it the module name. 1 when the component was
// created (one more user on the thread), 0 when it is missing (an error box
// says so).
uint8_t InicializarLenguaje(QString &aplicacion, QString &modulo);

// Text number `numero` in the user's language; "RNF <numero>" when it cannot
// be fetched.
QString TextoIdioma(const int32_t &numero);

// Gives up one use; the last user of the thread releases the component.
void LiberarLenguaje();

// The built-in texts of the control, in English when idioma is 2, else Spanish.
QString resloadVieja(int16_t idRes, uint8_t idioma);

// The thread's message component (the host's Mensajes), created on its first
// use and kept for the life of the thread. A creation that fails raises and
// leaves none kept.
vb::ObjectRef objetoMensajes();

// The thread's shared state, for hosts and tests that look at it.
uint8_t usuariosLenguaje();
vb::ObjectRef objetoLenguaje();

// The programmatic identifier of the language component for an application
// code and a language number ("LNG_QFA_001.clsResources").
QString prefijoLenguaje(const QString &aplicacion, uint8_t idioma);

} // namespace language
