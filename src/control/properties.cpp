// The control's public properties and the clearing of the current article.

#include "vok_t_articulo.h"

#include "language/modlenguaje.h"
#include "platform/vb/conversions.h"

void vokTArticulo::markChanged(const char *property)
{
    m_userControl->propertyChanged(QString::fromLatin1(property));
}

int16_t vokTArticulo::Appearance() const
{
    return m_tArticulo->appearance();
}

void vokTArticulo::setAppearance(int16_t value)
{
    m_tArticulo->setAppearance(value);
    markChanged("Appearance");
    onResize();
}

ui::OleColor vokTArticulo::BackColor() const
{
    return m_tArticulo->backColor();
}

void vokTArticulo::setBackColor(ui::OleColor value)
{
    try {
        m_tArticulo->setBackColor(value);
        markChanged("BackColor");
    } catch (const std::exception &) {
        // A colour the text box refuses leaves it as it was; the host is not told.
    }
}

bool vokTArticulo::Enabled() const
{
    return m_tArticulo->isEnabled();
}

void vokTArticulo::setEnabled(bool value)
{
    m_tArticulo->setEnabled(value);
    markChanged("Enabled");
    m_userControl->setEnabled(value);
    if (m_userControl->ambientUserMode())
        m_userControl->refresh();
}

ui::Font vokTArticulo::Font() const
{
    return m_tArticulo->font();
}

void vokTArticulo::setFont(const ui::Font &value)
{
    m_tArticulo->setFont(value);
    markChanged("Font");
    onResize();
}

ui::OleColor vokTArticulo::ForeColor() const
{
    return m_tArticulo->foreColor();
}

void vokTArticulo::setForeColor(ui::OleColor value)
{
    m_tArticulo->setForeColor(value);
    markChanged("ForeColor");
}

void vokTArticulo::setFormatCodigo(const QString &value)
{
    mstrFormatCodigo = value;
    markChanged("FormatCodigo");
}

void vokTArticulo::setFormatDisplay(int32_t value)
{
    mlngFormatDisplay = value;
    markChanged("FormatDisplay");
}

int16_t vokTArticulo::MaxLength() const
{
    return static_cast<int16_t>(m_tArticulo->maxLength());
}

void vokTArticulo::setMaxLength(int16_t value)
{
    m_tArticulo->setMaxLength(value);
    markChanged("MaxLength");
}

QString vokTArticulo::Text() const
{
    return m_tArticulo->text();
}

void vokTArticulo::setText(const QString &value)
{
    m_tArticulo->setText(value);
}

void vokTArticulo::setNombreADesplegar(int32_t value)
{
    mlngNombreADesplegar = value;
    markChanged("NombreADesplegar");
}

void vokTArticulo::setOmitirVariedad(bool value)
{
    mblnOmitirVariedad = value;
    markChanged("OmitirVariedad");
}

void vokTArticulo::setEnUsoObligatorio(uint8_t value)
{
    mbytEnUsoObligatorio = value;
    markChanged("EnUsoObligatorio");
}

void vokTArticulo::setEnVentaObligatorio(uint8_t value)
{
    mbytEnVentaObligatorio = value;
    markChanged("EnVentaObligatorio");
}

void vokTArticulo::setPedirIncluirVariedad(bool value)
{
    mblnPedirIncluirVariedad = value;
    markChanged("PedirIncluirVariedad");
}

bool vokTArticulo::IncluirVariedades() const
{
    return m_chkVariedad->value() == 1;
}

void vokTArticulo::setIncluirVariedades(bool value)
{
    if (m_chkVariedad->isVisible())
        m_chkVariedad->setValue(value ? 1 : 0);
}

ui::OleColor vokTArticulo::BackgroundColor() const
{
    return m_userControl->backColor();
}

void vokTArticulo::setBackgroundColor(ui::OleColor value)
{
    try {
        m_userControl->setBackColor(value);
        m_chkVariedad->setBackColor(value);
        markChanged("BackgroundColor");
    } catch (const std::exception &) {
        // As for BackColor: a refused colour is not the host's error.
    }
}

QString vokTArticulo::resloadVieja(int16_t idRes) const
{
    return language::resloadVieja(idRes, mbytIdioma);
}

QString vokTArticulo::CBVariable() const
{
    return vb::CStr(mvarCBVariable);
}

QString vokTArticulo::CBFija() const
{
    return vb::CStr(mvarCBFija);
}

void vokTArticulo::LimpiarArticulo()
{
    mstrCodigo.clear();
    mstrNombre.clear();
    mlngID = 0;
    mintVariedad = 0;
    mbytEnVenta = 0;
    mbytEnUso = 0;
    mbytEsCombo = 0;
    mbytDecimales = 0;
}
