// Handlers of the text box and the check box: what the keyboard starts and
// when the control's events reach the host.

#include "vok_t_articulo_p.h"

#include "platform/ui/constants.h"
#include "platform/vb/conversions.h"
#include "platform/vb/resume_next.h"

void vokTArticuloPrivate::wireKeyboard()
{
    m_tArticulo->onChange = [this] { tArticuloChange(); };
    m_tArticulo->onGotFocus = [this] { q.SeleccionarTexto(); };
    m_tArticulo->onKeyDown = [this](int16_t &KeyCode, int16_t &Shift) { tArticuloKeyDown(KeyCode, Shift); };
    m_tArticulo->onKeyPress = [this](int16_t &KeyAscii) { tArticuloKeyPress(KeyAscii); };
    m_tArticulo->onValidate = [this](bool &) { tArticuloValidate(); };
    m_chkVariedad->onKeyPress = [this](int16_t &KeyAscii) { chkVariedadKeyPress(KeyAscii); };
    // Leaving the box keeps it on offer with its short caption, but only while
    // it is on offer: hiding the focused box moves the focus away, and that
    // loss must not show again what is being hidden.
    m_chkVariedad->onLostFocus = [this] {
        if (m_chkVariedad->isVisible())
            vb::ResumeNext([&] { MostrarVariedad(ModoVariedad::Corto); });
    };
}

// Text the control can still resolve: something besides blanks, and no article held.
bool vokTArticuloPrivate::textoResoluble() const
{
    return !vb::Trim(m_tArticulo->text()).isEmpty() && fila.articulo.ID == 0;
}

void vokTArticuloPrivate::raiseKeyPress(int16_t &KeyAscii)
{
    raise([&](vokTArticuloEvents &sink) { sink.KeyPress(KeyAscii); });
}

// Every change of the text, typed or assigned. The event comes first, so that a
// host reading ID during the first change after a choice still sees the article
// being abandoned.
void vokTArticuloPrivate::tArticuloChange()
{
    raise([](vokTArticuloEvents &sink) { sink.Change(); });
    if (fila.articulo.ID > 0) {
        LimpiarArticulo();
        MostrarVariedad(ModoVariedad::Oculto);
    }
}

// F4 and F12 without shift keys are the control's own commands (the search
// dialog, and the detail view of the article held); every other key that goes
// down, those two with a shift key included, is the host's. Both commands end
// quietly on their own errors, so nothing is trapped here.
void vokTArticuloPrivate::tArticuloKeyDown(int16_t &KeyCode, int16_t &Shift)
{
    if (KeyCode == ui::vbKeyF4 && Shift == 0)
        BusquedaAvanzada();
    else if (KeyCode == ui::vbKeyF12 && Shift == 0 && fila.articulo.ID > 0)
        q.MostrarDetalle(fila.articulo.ID, fila.articulo.Variedad);
    else
        raise([&](vokTArticuloEvents &sink) { sink.KeyDown(KeyCode, Shift); });
}

void vokTArticuloPrivate::tArticuloKeyPress(int16_t &KeyAscii)
{
    vb::ResumeNext([&] {
        if (KeyAscii != ui::vbKeyReturn) {
            raiseKeyPress(KeyAscii);
            return;
        }
        if (textoResoluble()) {
            ValidarArticulo(m_tArticulo->text());
            if (fila.articulo.ID == 0)
                raise([](vokTArticuloEvents &sink) { sink.GotFocus2(); });
            else if (m_chkVariedad->isVisible())
                m_chkVariedad->setFocus();
            else
                raiseKeyPress(KeyAscii);
        } else if (m_chkVariedad->isVisible()) {
            m_chkVariedad->setFocus();
        } else {
            raiseKeyPress(KeyAscii);
        }
    });
}

// Leaving the box with text still to resolve looks it up; the focus leaves
// whatever the lookup found.
void vokTArticuloPrivate::tArticuloValidate()
{
    vb::ResumeNext([&] {
        if (textoResoluble())
            ValidarArticulo(m_tArticulo->text());
    });
}

void vokTArticuloPrivate::chkVariedadKeyPress(int16_t &KeyAscii)
{
    vb::ResumeNext([&] {
        if (KeyAscii == ui::vbKeyReturn && textoResoluble()) {
            m_tArticulo->setFocus();
            raise([](vokTArticuloEvents &sink) { sink.GotFocus2(); });
        } else {
            raiseKeyPress(KeyAscii);
        }
    });
}
