#pragma once
// Programmatic identifiers of the host application's components that the
// library creates by name. They are registered by the host (our own host
// components register themselves under these names).

#include <QString>

namespace language {

inline const QString UtilidadesProgId = QStringLiteral("vokHost.Utilidades");
inline const QString MensajesProgId = QStringLiteral("vokHost.Mensajes");

} // namespace language
