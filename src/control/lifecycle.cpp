// Creation, termination, the host's connection and the event sinks.

#include "vok_t_articulo_p.h"

#include "language/modlenguaje.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace {
// The check box before any layout: 700 x 195 twips with its short caption.
constexpr ui::Twips CheckBoxInitialWidth = 700;
constexpr ui::Twips CheckBoxHeight = 195;

constexpr int32_t LanguageObjectMissing = 9000;
}

vokTArticulo::vokTArticulo() : d(std::make_unique<vokTArticuloPrivate>(*this))
{
    ui::Toolkit &toolkit = ui::toolkit();
    d->m_userControl = toolkit.createUserControl();
    d->m_tArticulo = toolkit.createTextBox(*d->m_userControl);
    d->m_chkVariedad = toolkit.createCheckBox(*d->m_userControl);

    d->m_chkVariedad->setWidth(CheckBoxInitialWidth);
    d->m_chkVariedad->setHeight(CheckBoxHeight);
    d->m_chkVariedad->setCaption(QStringLiteral("c/Var"));

    d->wireKeyboard();
    d->m_userControl->onResize = [this] { d->onResize(); };

    d->m_tArticulo->setText({});
    d->MostrarVariedad(ModoVariedad::Oculto);
}

vokTArticulo::~vokTArticulo()
{
    language::LiberarLenguaje();
}

void vokTArticulo::setConnect(std::shared_ptr<rdo::rdoConnection> connection)
{
    d->mrdoConexion = std::move(connection);
    QString aplicacion = QStringLiteral("VOK04");
    QString modulo = QStringLiteral("BuscarArticulos");
    if (language::InicializarLenguaje(aplicacion, modulo) != 1)
        throw vb::Error(LanguageObjectMissing, QStringLiteral("No se encontró el objeto de lenguaje."),
                        QStringLiteral("ObjetoLenguaje"));
}

const std::shared_ptr<rdo::rdoConnection> &vokTArticulo::connection() const
{
    return d->mrdoConexion;
}

rdo::rdoConnection &vokTArticuloPrivate::conexion() const
{
    if (!mrdoConexion)
        throw vb::Error::standard(vb::err::ObjectNotSet);
    return *mrdoConexion;
}

void vokTArticulo::advise(vokTArticuloEvents *sink)
{
    if (sink && std::find(d->m_sinks.begin(), d->m_sinks.end(), sink) == d->m_sinks.end())
        d->m_sinks.push_back(sink);
}

void vokTArticulo::unadvise(vokTArticuloEvents *sink)
{
    std::erase(d->m_sinks, sink);
}

ui::UserControl &vokTArticulo::userControl()
{
    return *d->m_userControl;
}

ui::TextBox &vokTArticulo::tArticulo()
{
    return *d->m_tArticulo;
}

ui::CheckBox &vokTArticulo::chkVariedad()
{
    return *d->m_chkVariedad;
}
