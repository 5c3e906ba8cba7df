// Creation, termination, the host's connection and the event sinks.

#include "vok_t_articulo.h"

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

vokTArticulo::vokTArticulo()
{
    ui::Toolkit &toolkit = ui::toolkit();
    m_userControl = toolkit.createUserControl();
    m_tArticulo = toolkit.createTextBox(*m_userControl);
    m_chkVariedad = toolkit.createCheckBox(*m_userControl);

    m_chkVariedad->setWidth(CheckBoxInitialWidth);
    m_chkVariedad->setHeight(CheckBoxHeight);
    m_chkVariedad->setCaption(QStringLiteral("c/Var"));

    wireKeyboard();
    m_userControl->onResize = [this] { onResize(); };

    m_tArticulo->setText({});
    MostrarVariedad(1);
}

vokTArticulo::~vokTArticulo()
{
    language::LiberarLenguaje();
}

void vokTArticulo::setConnect(std::shared_ptr<rdo::rdoConnection> connection)
{
    mrdoConexion = std::move(connection);
    QString aplicacion = QStringLiteral("VOK04");
    QString modulo = QStringLiteral("BuscarArticulos");
    if (language::InicializarLenguaje(aplicacion, modulo) != 1)
        throw vb::Error(LanguageObjectMissing, QStringLiteral("No se encontró el objeto de lenguaje."),
                        QStringLiteral("ObjetoLenguaje"));
}

void vokTArticulo::advise(vokTArticuloEvents *sink)
{
    if (sink && std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end())
        m_sinks.push_back(sink);
}

void vokTArticulo::unadvise(vokTArticuloEvents *sink)
{
    std::erase(m_sinks, sink);
}

void vokTArticulo::FindArticuloByID(int32_t iID)
{
    int16_t variedad = 0;
    FindArticuloByID(iID, variedad);
}
