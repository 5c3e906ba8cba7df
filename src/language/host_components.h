#pragma once
// Programmatic identifiers of the host application's components that the
// library creates by name. They are registered by the host (our own host
// components register themselves under these names).

#include "platform/com/guid.h"

#include <QString>

namespace language {

inline const QString UtilidadesProgId = QStringLiteral("vokHost.Utilidades");
inline const QString MensajesProgId = QStringLiteral("vokHost.Mensajes");
// The item list: the control creates one per lookup by its class identity.
inline const QString ListaItemsProgId = QStringLiteral("vokHost.ListaItems");
inline const com::Guid ListaItemsClsid = *com::Guid::parse(u"{6F2A9D14-3C7B-4E58-B1D0-8A4C2E9F7B36}");

} // namespace language
