#include "mensajes.h"

#include "platform/ui/constants.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"

namespace host {

Mensajes::Mensajes(com::Module *module) : AutomationObject(module)
{
    addMethod(QStringLiteral("EstablecerIdioma"), [this](std::span<vb::Variant> args) {
        EstablecerIdioma(vb::CByte(argument(args, 0)));
        return vb::Variant();
    });
    addMethod(QStringLiteral("MostrarError"), [this](std::span<vb::Variant> args) {
        MostrarError(vb::CStr(argument(args, 0)), vb::CStr(argument(args, 1)), vb::CStr(argument(args, 2)),
                     vb::CStr(argument(args, 3)));
        return vb::Variant();
    });
    addMethod(QStringLiteral("MostrarMensaje"), [this](std::span<vb::Variant> args) {
        return vb::Variant(MostrarMensaje(vb::CStr(argument(args, 0)), vb::CInt(argument(args, 1)),
                                          vb::CStr(argument(args, 2))));
    });
}

void Mensajes::MostrarError(const QString &text, const QString &title, const QString &applicationTitle,
                            const QString &detail)
{
    QString prompt = text;
    if (!detail.isEmpty())
        prompt += QStringLiteral("\r\n\r\n") + (applicationTitle.isEmpty() ? QString() : applicationTitle + QStringLiteral(": ")) + detail;
    ui::toolkit().messageBox(prompt, ui::vbCritical, title);
}

int16_t Mensajes::MostrarMensaje(const QString &text, int16_t style, const QString &title)
{
    return ui::toolkit().messageBox(text, style, title);
}

} // namespace host
