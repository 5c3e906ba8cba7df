// Layout of the text box and the variety check box, in twips.

#include "vok_t_articulo.h"

#include "language/modlenguaje.h"

namespace {
constexpr ui::Twips CheckBoxLongWidth = 1700;
constexpr ui::Twips CheckBoxShortWidth = 700;
constexpr ui::Twips CheckBoxGap = 60;
constexpr ui::Twips CheckBoxTop = 40;
constexpr ui::Twips CheckBoxLeftOnResize = 1;
constexpr int32_t LongCaptionText = 3;
constexpr int32_t ShortCaptionText = 4;

// Layout steps skip a step that fails and go on with the next.
template <typename Step>
void skipOnError(Step &&step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}
} // namespace

void vokTArticulo::MostrarVariedad(uint8_t modo)
{
    ui::CheckBox &check = *m_chkVariedad;
    ui::TextBox &text = *m_tArticulo;
    const ui::Twips width = m_userControl->width();
    const auto offer = [&](ui::Twips checkWidth, int32_t captionText) {
        skipOnError([&] { check.setWidth(checkWidth); });
        skipOnError([&] { check.setLeft(width - check.width()); });
        skipOnError([&] { check.setCaption(language::TextoIdioma(captionText)); });
        skipOnError([&] { text.setWidth(width - check.width() - CheckBoxGap); });
        skipOnError([&] { check.setVisible(true); });
    };
    switch (modo) {
    case 1:
        skipOnError([&] { check.setVisible(false); });
        skipOnError([&] { check.setValue(0); });
        skipOnError([&] { text.setWidth(width); });
        break;
    case 2:
        skipOnError([&] { check.setValue(0); });
        offer(CheckBoxLongWidth, LongCaptionText);
        break;
    case 3:
        offer(CheckBoxShortWidth, ShortCaptionText);
        break;
    default:
        break;
    }
}

void vokTArticulo::onResize()
{
    skipOnError([&] { m_tArticulo->move(0, 0, m_userControl->width(), m_userControl->height()); });
    skipOnError([&] { m_chkVariedad->setTop(CheckBoxTop); });
    skipOnError([&] { m_chkVariedad->setLeft(CheckBoxLeftOnResize); });
    skipOnError([&] {
        m_userControl->setWidth(m_tArticulo->width());
        m_userControl->setHeight(m_tArticulo->height());
    });
}

void vokTArticulo::SeleccionarTexto()
{
    skipOnError([&] {
        m_tArticulo->setSelStart(0);
        m_tArticulo->setSelLength(static_cast<int32_t>(m_tArticulo->text().size()));
    });
}
