// The control's public properties and the clearing of the current article.

#include "vok_t_articulo_p.h"

#include "language/modlenguaje.h"

void vokTArticuloPrivate::markChanged(const char *property)
{
    m_userControl->propertyChanged(QString::fromLatin1(property));
}

int16_t vokTArticulo::Appearance() const
{
    return d->m_tArticulo->appearance();
}

void vokTArticulo::setAppearance(int16_t value)
{
    d->m_tArticulo->setAppearance(value);
    d->markChanged("Appearance");
    d->onResize();
}

ui::OleColor vokTArticulo::BackColor() const
{
    return d->m_tArticulo->backColor();
}

void vokTArticulo::setBackColor(ui::OleColor value)
{
    try {
        d->m_tArticulo->setBackColor(value);
        d->markChanged("BackColor");
    } catch (const std::exception &) {
        // A colour the text box refuses leaves it as it was; the host is not told.
    }
}

bool vokTArticulo::Enabled() const
{
    return d->m_tArticulo->isEnabled();
}

void vokTArticulo::setEnabled(bool value)
{
    d->m_tArticulo->setEnabled(value);
    d->markChanged("Enabled");
    d->m_userControl->setEnabled(value);
    if (d->m_userControl->ambientUserMode())
        d->m_userControl->refresh();
}

ui::Font vokTArticulo::Font() const
{
    return d->m_tArticulo->font();
}

void vokTArticulo::setFont(const ui::Font &value)
{
    d->m_tArticulo->setFont(value);
    d->markChanged("Font");
    d->onResize();
}

ui::OleColor vokTArticulo::ForeColor() const
{
    return d->m_tArticulo->foreColor();
}

void vokTArticulo::setForeColor(ui::OleColor value)
{
    d->m_tArticulo->setForeColor(value);
    d->markChanged("ForeColor");
}

void vokTArticulo::setFormatCodigo(const QString &value)
{
    d->mstrFormatCodigo = value;
    d->markChanged("FormatCodigo");
}

void vokTArticulo::setFormatDisplay(int32_t value)
{
    d->mlngFormatDisplay = value;
    d->markChanged("FormatDisplay");
}

int16_t vokTArticulo::MaxLength() const
{
    return static_cast<int16_t>(d->m_tArticulo->maxLength());
}

void vokTArticulo::setMaxLength(int16_t value)
{
    d->m_tArticulo->setMaxLength(value);
    d->markChanged("MaxLength");
}

QString vokTArticulo::Text() const
{
    return d->m_tArticulo->text();
}

void vokTArticulo::setText(const QString &value)
{
    d->m_tArticulo->setText(value);
}

void vokTArticulo::setNombreADesplegar(int32_t value)
{
    d->mlngNombreADesplegar = value;
    d->markChanged("NombreADesplegar");
}

void vokTArticulo::setOmitirVariedad(bool value)
{
    d->mblnOmitirVariedad = value;
    d->markChanged("OmitirVariedad");
}

void vokTArticulo::setEnUsoObligatorio(uint8_t value)
{
    d->mbytEnUsoObligatorio = value;
    d->markChanged("EnUsoObligatorio");
}

void vokTArticulo::setEnVentaObligatorio(uint8_t value)
{
    d->mbytEnVentaObligatorio = value;
    d->markChanged("EnVentaObligatorio");
}

void vokTArticulo::setPedirIncluirVariedad(bool value)
{
    d->mblnPedirIncluirVariedad = value;
    d->markChanged("PedirIncluirVariedad");
}

bool vokTArticulo::IncluirVariedades() const
{
    return d->m_chkVariedad->value() == 1;
}

void vokTArticulo::setIncluirVariedades(bool value)
{
    if (d->m_chkVariedad->isVisible())
        d->m_chkVariedad->setValue(value ? 1 : 0);
}

ui::OleColor vokTArticulo::BackgroundColor() const
{
    return d->m_userControl->backColor();
}

void vokTArticulo::setBackgroundColor(ui::OleColor value)
{
    try {
        d->m_userControl->setBackColor(value);
        d->m_chkVariedad->setBackColor(value);
        d->markChanged("BackgroundColor");
    } catch (const std::exception &) {
        // As for BackColor: a refused colour is not the host's error.
    }
}

QString vokTArticulo::resloadVieja(int16_t idRes) const
{
    return language::resloadVieja(idRes, d->mbytIdioma);
}


// The current article, and what the last chosen row left beside it.
int32_t vokTArticulo::ID() const
{
    return d->fila.articulo.ID;
}

void vokTArticulo::setID(int32_t value)
{
    d->fila.articulo.ID = value;
}

int16_t vokTArticulo::Variedad() const
{
    return d->fila.articulo.Variedad;
}

void vokTArticulo::setVariedad(int16_t value)
{
    d->fila.articulo.Variedad = value;
}

QString vokTArticulo::Codigo() const
{
    return d->fila.articulo.Codigo;
}

QString vokTArticulo::Nombre() const
{
    return d->fila.articulo.Nombre;
}

uint8_t vokTArticulo::EnUso() const
{
    return d->fila.articulo.EnUso;
}

uint8_t vokTArticulo::EnVenta() const
{
    return d->fila.articulo.EnVenta;
}

uint8_t vokTArticulo::EsCombo() const
{
    return d->fila.articulo.EsCombo;
}

// EsCombo under the name older hosts use.
uint8_t vokTArticulo::TipoCombo() const
{
    return d->fila.articulo.EsCombo;
}

uint8_t vokTArticulo::Decimales() const
{
    return d->fila.articulo.Decimales;
}

uint8_t vokTArticulo::AdmitePrecioQMayor() const
{
    return d->fila.AdmitePrecioQMayor;
}

uint8_t vokTArticulo::PideSerie() const
{
    return d->fila.PideSerie;
}

bool vokTArticulo::CB() const
{
    return d->fila.CB;
}

double vokTArticulo::CBCantidad() const
{
    return d->fila.CBCantidad;
}

QString vokTArticulo::CBFija() const
{
    return d->fila.CBFija;
}

QString vokTArticulo::CBVariable() const
{
    return d->fila.CBVariable;
}

// Configuration without a change notification: none of it is kept with the form.
uint8_t vokTArticulo::Idioma() const
{
    return d->mbytIdioma;
}

void vokTArticulo::setIdioma(uint8_t value)
{
    d->mbytIdioma = value;
}

int16_t vokTArticulo::Empresa() const
{
    return d->mintEmpresa;
}

void vokTArticulo::setEmpresa(int16_t value)
{
    d->mintEmpresa = value;
}

int16_t vokTArticulo::ListaPrecios() const
{
    return d->mintListaPrecios;
}

void vokTArticulo::setListaPrecios(int16_t value)
{
    d->mintListaPrecios = value;
}

namespace {
// What FormatoLista gives the host while the layout is unknown.
constexpr uint8_t FormatoSinLeer = 255;
}

uint8_t vokTArticulo::FormatoLista() const
{
    return d->formatoLista.value_or(FormatoSinLeer);
}

void vokTArticulo::setFormatoLista(uint8_t value)
{
    d->formatoLista = value == FormatoSinLeer ? std::nullopt : std::optional<uint8_t>(value);
}

QString vokTArticulo::FormatCodigo() const
{
    return d->mstrFormatCodigo;
}

int32_t vokTArticulo::FormatDisplay() const
{
    return d->mlngFormatDisplay;
}

int32_t vokTArticulo::NombreADesplegar() const
{
    return d->mlngNombreADesplegar;
}

bool vokTArticulo::OmitirVariedad() const
{
    return d->mblnOmitirVariedad;
}

uint8_t vokTArticulo::EnUsoObligatorio() const
{
    return d->mbytEnUsoObligatorio;
}

uint8_t vokTArticulo::EnVentaObligatorio() const
{
    return d->mbytEnVentaObligatorio;
}

bool vokTArticulo::PedirIncluirVariedad() const
{
    return d->mblnPedirIncluirVariedad;
}

// A clear forgets the article (identifier, variety, code, name and flags) in
// one assignment. It keeps on purpose AdmitePrecioQMayor, PideSerie and the
// bar-code values (CB, CBCantidad, CBFija, CBVariable) of the last row chosen,
// and mblnConVariedades, which the next lookup sets again.
void vokTArticuloPrivate::LimpiarArticulo()
{
    fila.articulo = {};
}
