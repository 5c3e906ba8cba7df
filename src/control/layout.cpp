// Layout of the text box and the variety check box, in twips.

#include "vok_t_articulo_p.h"

#include "language/modlenguaje.h"
#include "platform/vb/resume_next.h"

namespace {
constexpr ui::Twips CheckBoxLongWidth = 1700;
constexpr ui::Twips CheckBoxShortWidth = 700;
constexpr ui::Twips CheckBoxGap = 60;
constexpr ui::Twips CheckBoxTop = 40;
constexpr ui::Twips CheckBoxLeftOnResize = 1;
constexpr int32_t LongCaptionText = 3;
constexpr int32_t ShortCaptionText = 4;
} // namespace

void vokTArticulo::MostrarVariedad(uint8_t modo)
{
    switch (modo) {
    case 1: d->MostrarVariedad(ModoVariedad::Oculto); break;
    case 2: d->MostrarVariedad(ModoVariedad::Largo); break;
    case 3: d->MostrarVariedad(ModoVariedad::Corto); break;
    default: break;
    }
}

// Layout steps skip a step that fails and go on with the next.
void vokTArticuloPrivate::MostrarVariedad(ModoVariedad modo)
{
    ui::CheckBox &check = *m_chkVariedad;
    ui::TextBox &text = *m_tArticulo;
    const ui::Twips width = m_userControl->width();
    const auto offer = [&](ui::Twips checkWidth, int32_t captionText) {
        vb::ResumeNext([&] { check.setWidth(checkWidth); });
        vb::ResumeNext([&] { check.setLeft(width - check.width()); });
        vb::ResumeNext([&] { check.setCaption(language::TextoIdioma(captionText)); });
        vb::ResumeNext([&] { text.setWidth(width - check.width() - CheckBoxGap); });
        vb::ResumeNext([&] { check.setVisible(true); });
    };
    switch (modo) {
    case ModoVariedad::Oculto:
        vb::ResumeNext([&] { check.setVisible(false); });
        vb::ResumeNext([&] { check.setValue(0); });
        vb::ResumeNext([&] { text.setWidth(width); });
        break;
    case ModoVariedad::Largo:
        vb::ResumeNext([&] { check.setValue(0); });
        offer(CheckBoxLongWidth, LongCaptionText);
        break;
    case ModoVariedad::Corto:
        offer(CheckBoxShortWidth, ShortCaptionText);
        break;
    }
}

void vokTArticuloPrivate::onResize()
{
    vb::ResumeNext([&] { m_tArticulo->move(0, 0, m_userControl->width(), m_userControl->height()); });
    vb::ResumeNext([&] { m_chkVariedad->setTop(CheckBoxTop); });
    vb::ResumeNext([&] { m_chkVariedad->setLeft(CheckBoxLeftOnResize); });
    vb::ResumeNext([&] {
        m_userControl->setWidth(m_tArticulo->width());
        m_userControl->setHeight(m_tArticulo->height());
    });
}

void vokTArticulo::SeleccionarTexto()
{
    ui::TextBox &text = *d->m_tArticulo;
    vb::ResumeNext([&] {
        text.setSelStart(0);
        text.setSelLength(static_cast<int32_t>(text.text().size()));
    });
}
