// The control on stored forms: what a new instance looks like, and the
// design-time properties read from and written to the container's bag. The
// keys, their order, types and defaults are those the forms already saved
// carry; read and write must agree on every default, since a value equal to
// its default is not stored.

#include "vok_t_articulo.h"

#include "platform/com/property_bag.h"
#include "platform/vb/conversions.h"

namespace {

constexpr int16_t DefaultAppearance = 0;
constexpr int32_t DefaultMaxLength = 0;
constexpr int32_t DefaultNombreADesplegar = 0;
constexpr uint8_t DefaultObligatorio = 0;

// Colours travel as Longs: a system colour is a negative Long.
vb::Variant colourValue(ui::OleColor colour)
{
    return vb::Variant(static_cast<int32_t>(colour));
}

ui::OleColor colourOf(const vb::Variant &value)
{
    return static_cast<ui::OleColor>(vb::CLng(value));
}

} // namespace

void vokTArticulo::InitProperties()
{
    m_tArticulo->setAppearance(0);
    m_tArticulo->setBackColor(ui::SystemWindowBackground);
    m_tArticulo->setText(QString());
    // Only the name of the ambient font: size and style stay the text box's.
    ui::Font font = m_tArticulo->font();
    font.name = m_userControl->ambientFont().name;
    m_tArticulo->setFont(font);
    m_tArticulo->setForeColor(ui::SystemWindowText);
    mlngFormatDisplay = afd_CodigoNombre;
}

void vokTArticulo::ReadProperties(com::PropertyBag &PropBag)
{
    m_tArticulo->setAppearance(vb::CInt(PropBag.ReadProperty("Appearance", DefaultAppearance)));
    m_tArticulo->setBackColor(colourOf(PropBag.ReadProperty("BackColor", colourValue(ui::SystemWindowBackground))));
    m_tArticulo->setForeColor(colourOf(PropBag.ReadProperty("ForeColor", colourValue(ui::SystemWindowText))));
    m_tArticulo->setEnabled(vb::CBool(PropBag.ReadProperty("Enabled", true)));
    m_userControl->setEnabled(m_tArticulo->isEnabled());
    m_tArticulo->setFont(PropBag.ReadFont("Font", m_userControl->ambientFont()));
    m_tArticulo->setMaxLength(vb::CLng(PropBag.ReadProperty("MaxLength", DefaultMaxLength)));
    mstrFormatCodigo = vb::CStr(PropBag.ReadProperty("FormatCodigo", QString()));
    mlngFormatDisplay = vb::CLng(PropBag.ReadProperty("FormatDisplay", int32_t{afd_CodigoNombre}));
    if (mlngFormatDisplay == 0)
        mlngFormatDisplay = afd_CodigoNombre;
    mlngNombreADesplegar = vb::CLng(PropBag.ReadProperty("NombreADesplegar", DefaultNombreADesplegar));
    // What the fields hold now is the default of these four.
    mblnOmitirVariedad = vb::CBool(PropBag.ReadProperty("OmitirVariedad", mblnOmitirVariedad));
    mbytEnUsoObligatorio = vb::CByte(PropBag.ReadProperty("EnUsoObligatorio", mbytEnUsoObligatorio));
    mbytEnVentaObligatorio = vb::CByte(PropBag.ReadProperty("EnVentaObligatorio", mbytEnVentaObligatorio));
    mblnPedirIncluirVariedad = vb::CBool(PropBag.ReadProperty("PedirIncluirVariedad", mblnPedirIncluirVariedad));
    m_userControl->setBackColor(colourOf(PropBag.ReadProperty("BackgroundColor", colourValue(ui::SystemButtonFace))));
    m_chkVariedad->setBackColor(m_userControl->backColor());
}

void vokTArticulo::WriteProperties(com::PropertyBag &PropBag)
{
    PropBag.WriteProperty("Appearance", m_tArticulo->appearance(), DefaultAppearance);
    PropBag.WriteProperty("BackColor", colourValue(m_tArticulo->backColor()), colourValue(ui::SystemWindowBackground));
    PropBag.WriteProperty("ForeColor", colourValue(m_tArticulo->foreColor()), colourValue(ui::SystemWindowText));
    PropBag.WriteProperty("Enabled", m_tArticulo->isEnabled(), true);
    PropBag.WriteFont("Font", m_tArticulo->font(), m_userControl->ambientFont());
    PropBag.WriteProperty("MaxLength", m_tArticulo->maxLength(), DefaultMaxLength);
    PropBag.WriteProperty("FormatCodigo", mstrFormatCodigo, QString());
    PropBag.WriteProperty("FormatDisplay", mlngFormatDisplay, int32_t{afd_CodigoNombre});
    PropBag.WriteProperty("NombreADesplegar", mlngNombreADesplegar, DefaultNombreADesplegar);
    PropBag.WriteProperty("OmitirVariedad", mblnOmitirVariedad, false);
    PropBag.WriteProperty("EnUsoObligatorio", mbytEnUsoObligatorio, DefaultObligatorio);
    PropBag.WriteProperty("EnVentaObligatorio", mbytEnVentaObligatorio, DefaultObligatorio);
    PropBag.WriteProperty("PedirIncluirVariedad", mblnPedirIncluirVariedad, true);
    PropBag.WriteProperty("BackgroundColor", colourValue(m_userControl->backColor()), colourValue(ui::SystemButtonFace));
}
