// The control on stored forms: what a new instance looks like, and the
// design-time properties read from and written to the container's bag. The
// keys, their order, types and defaults are those the forms already saved
// carry; read and write must agree on every default, since a value equal to
// its default is not stored.

#include "vok_t_articulo_p.h"

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
    d->m_tArticulo->setAppearance(0);
    d->m_tArticulo->setBackColor(ui::SystemWindowBackground);
    d->m_tArticulo->setText(QString());
    // Only the name of the ambient font: size and style stay the text box's.
    ui::Font font = d->m_tArticulo->font();
    font.name = d->m_userControl->ambientFont().name;
    d->m_tArticulo->setFont(font);
    d->m_tArticulo->setForeColor(ui::SystemWindowText);
    d->mlngFormatDisplay = afd_CodigoNombre;
}

void vokTArticulo::ReadProperties(com::PropertyBag &PropBag)
{
    d->m_tArticulo->setAppearance(vb::CInt(PropBag.ReadProperty("Appearance", DefaultAppearance)));
    d->m_tArticulo->setBackColor(colourOf(PropBag.ReadProperty("BackColor", colourValue(ui::SystemWindowBackground))));
    d->m_tArticulo->setForeColor(colourOf(PropBag.ReadProperty("ForeColor", colourValue(ui::SystemWindowText))));
    d->m_tArticulo->setEnabled(vb::CBool(PropBag.ReadProperty("Enabled", true)));
    d->m_userControl->setEnabled(d->m_tArticulo->isEnabled());
    d->m_tArticulo->setFont(PropBag.ReadFont("Font", d->m_userControl->ambientFont()));
    d->m_tArticulo->setMaxLength(vb::CLng(PropBag.ReadProperty("MaxLength", DefaultMaxLength)));
    d->mstrFormatCodigo = vb::CStr(PropBag.ReadProperty("FormatCodigo", QString()));
    d->mlngFormatDisplay = vb::CLng(PropBag.ReadProperty("FormatDisplay", int32_t{afd_CodigoNombre}));
    if (d->mlngFormatDisplay == 0)
        d->mlngFormatDisplay = afd_CodigoNombre;
    d->mlngNombreADesplegar = vb::CLng(PropBag.ReadProperty("NombreADesplegar", DefaultNombreADesplegar));
    // What the fields hold now is the default of these four.
    d->mblnOmitirVariedad = vb::CBool(PropBag.ReadProperty("OmitirVariedad", d->mblnOmitirVariedad));
    d->mbytEnUsoObligatorio = vb::CByte(PropBag.ReadProperty("EnUsoObligatorio", d->mbytEnUsoObligatorio));
    d->mbytEnVentaObligatorio = vb::CByte(PropBag.ReadProperty("EnVentaObligatorio", d->mbytEnVentaObligatorio));
    d->mblnPedirIncluirVariedad = vb::CBool(PropBag.ReadProperty("PedirIncluirVariedad", d->mblnPedirIncluirVariedad));
    d->m_userControl->setBackColor(colourOf(PropBag.ReadProperty("BackgroundColor", colourValue(ui::SystemButtonFace))));
    d->m_chkVariedad->setBackColor(d->m_userControl->backColor());
}

void vokTArticulo::WriteProperties(com::PropertyBag &PropBag)
{
    PropBag.WriteProperty("Appearance", d->m_tArticulo->appearance(), DefaultAppearance);
    PropBag.WriteProperty("BackColor", colourValue(d->m_tArticulo->backColor()), colourValue(ui::SystemWindowBackground));
    PropBag.WriteProperty("ForeColor", colourValue(d->m_tArticulo->foreColor()), colourValue(ui::SystemWindowText));
    PropBag.WriteProperty("Enabled", d->m_tArticulo->isEnabled(), true);
    PropBag.WriteFont("Font", d->m_tArticulo->font(), d->m_userControl->ambientFont());
    PropBag.WriteProperty("MaxLength", d->m_tArticulo->maxLength(), DefaultMaxLength);
    PropBag.WriteProperty("FormatCodigo", d->mstrFormatCodigo, QString());
    PropBag.WriteProperty("FormatDisplay", d->mlngFormatDisplay, int32_t{afd_CodigoNombre});
    PropBag.WriteProperty("NombreADesplegar", d->mlngNombreADesplegar, DefaultNombreADesplegar);
    PropBag.WriteProperty("OmitirVariedad", d->mblnOmitirVariedad, false);
    PropBag.WriteProperty("EnUsoObligatorio", d->mbytEnUsoObligatorio, DefaultObligatorio);
    PropBag.WriteProperty("EnVentaObligatorio", d->mbytEnVentaObligatorio, DefaultObligatorio);
    PropBag.WriteProperty("PedirIncluirVariedad", d->mblnPedirIncluirVariedad, true);
    PropBag.WriteProperty("BackgroundColor", colourValue(d->m_userControl->backColor()), colourValue(ui::SystemButtonFace));
}
