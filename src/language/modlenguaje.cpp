#include "modlenguaje.h"

#include "host_components.h"

#include "platform/com/runtime.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "platform/vb/resume_next.h"

#include <limits>
#include <optional>

namespace language {

namespace {

using vb::CallKind;

// The title the platform reports for this library, shown in its error boxes.
const QString TituloAplicacion = QStringLiteral("vokArtBuscar");

struct SharedState {
    vb::ObjectRef lenguaje;
    uint8_t usuarios = 0;
    vb::ObjectRef mensajes;
};

SharedState &compartido()
{
    thread_local SharedState state;
    return state;
}

} // namespace

QString prefijoLenguaje(const QString &aplicacion, uint8_t idioma)
{
    const QString clave = aplicacion.compare(QStringLiteral("VOK04"), Qt::CaseInsensitive) == 0
                              ? QStringLiteral("LNG_QFA_")
                              : QStringLiteral("LNG_QCO_");
    return clave + QStringLiteral("%1").arg(idioma, 3, 10, QLatin1Char('0'));
}

uint8_t InicializarLenguaje(QString &aplicacion, QString &modulo)
{
    SharedState &state = compartido();
    uint8_t idioma = 0;
    uint8_t idioma2 = 0;

    vb::ObjectRef utilidades;
    vb::ResumeNext([&] { utilidades = com::createObject(UtilidadesProgId); });
    vb::ResumeNext([&] {
        const vb::Variant valor = vb::CallByName(utilidades, QStringLiteral("LeerConfiguracion"), CallKind::Method,
                                                 {aplicacion, QStringLiteral("Idioma")});
        idioma = vb::CByte(vb::Val(vb::CStr(valor)));
    });
    vb::ResumeNext([&] {
        idioma2 = vb::CByte(vb::CallByName(utilidades, QStringLiteral("LeerConfiguracion"), CallKind::Method,
                                           {aplicacion, QStringLiteral("Idioma2")}));
    });
    utilidades.reset();

    if (idioma == 0)
        idioma = 1;

    vb::ResumeNext([&] { objetoMensajes(); });
    vb::ResumeNext([&] { vb::CallByName(state.mensajes, QStringLiteral("EstablecerIdioma"), CallKind::Method, {idioma}); });

    uint8_t resultado = 1;
    state.lenguaje.reset();

    const QString prefijo = prefijoLenguaje(aplicacion, idioma);
    if (const auto error = vb::ResumeNext([&] { state.lenguaje = com::createObject(prefijo + QStringLiteral(".clsResources")); })) {
        resultado = 0;
        state.lenguaje.reset();
        std::vector<vb::Variant> argumentos{
            QStringLiteral("Falta el componente de idioma: ") + prefijo + QStringLiteral(".dll\r\n") +
                QStringLiteral("Se finalizará la ejecución de la aplicación."),
            QStringLiteral("Configuración de Idioma"), TituloAplicacion, error->numberAndDescription()};
        vb::ResumeNext([&] { vb::CallByName(state.mensajes, QStringLiteral("MostrarError"), CallKind::Method, argumentos); });
        return resultado;
    }

    vb::ResumeNext([&] { vb::CallByName(state.lenguaje, QStringLiteral("IDAppName"), CallKind::PropertyLet, {modulo}); });
    vb::ResumeNext([&] { vb::CallByName(state.lenguaje, QStringLiteral("IDSLNG"), CallKind::PropertyLet, {idioma2}); });
    if (state.usuarios < 255)
        ++state.usuarios;
    return resultado;
}

QString TextoIdioma(const int32_t &numero)
{
    QString texto;
    const auto error = vb::ResumeNext([&] {
        if (numero > std::numeric_limits<int32_t>::max() - 1000)
            throw vb::Error::standard(vb::err::Overflow);
        const int32_t pedido = numero + 1000;
        texto = vb::CStr(vb::CallByName(compartido().lenguaje, QStringLiteral("resLoad"), CallKind::Method, {pedido}));
    });
    if (error)
        return QStringLiteral("RNF ") + QString::number(numero);
    return texto;
}

void LiberarLenguaje()
{
    SharedState &state = compartido();
    if (state.usuarios > 0)
        --state.usuarios;
    if (state.usuarios == 0)
        state.lenguaje.reset();
}

QString resloadVieja(int16_t idRes, uint8_t idioma)
{
    const bool ingles = idioma == 2;
    switch (idRes) {
    case 1:
        return ingles ? QStringLiteral("Items List") : QStringLiteral("Lista de Artículos");
    case 2:
        return ingles ? QStringLiteral("||Uso|Vta|combo|Dec|Uso|PrecioQ|Code|Item Name")
                      : QStringLiteral("||Uso|Vta|combo||uso|PrecioQ|Código|Artículo");
    case 3:
        return QStringLiteral("Incluir Variedades");
    case 4:
        return QStringLiteral("c/Var");
    default:
        return {};
    }
}

vb::ObjectRef objetoMensajes()
{
    SharedState &state = compartido();
    if (!state.mensajes)
        state.mensajes = com::createObject(MensajesProgId);
    return state.mensajes;
}

uint8_t usuariosLenguaje()
{
    return compartido().usuarios;
}

vb::ObjectRef objetoLenguaje()
{
    return compartido().lenguaje;
}

} // namespace language
