#pragma once
// vokTArticulo: the article-entry control. A text box in which the user types
// an article code, a bar code or words of a name, and a check box that offers
// to take the chosen article with all its varieties. The host configures it
// through properties, gives it a database connection, and reads the chosen
// article back through read-only properties; it hears of the user's actions
// through the events of vokTArticuloEvents.

#include "enumerations.h"
#include "events.h"

#include "platform/ui/window.h"
#include "platform/vb/variant.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace vb {
class Error;
}

namespace rdo {
class rdoConnection;
}

namespace com {
class PropertyBag;
}

class vokTArticuloPrivate;

class vokTArticulo {
public:
    // Creation: an empty text box, the check box hidden, every field at its
    // initial value. The windows come from the thread's toolkit.
    vokTArticulo();
    // Termination: gives up one use of the thread's language resources.
    ~vokTArticulo();
    vokTArticulo(const vokTArticulo &) = delete;
    vokTArticulo &operator=(const vokTArticulo &) = delete;

    // The container's notifications for stored forms: a new instance placed
    // on a form, an instance loaded from a stored form, and the form saved.
    // Errors of the bag or of a constituent control are not trapped: they go
    // to the container as the notification's failure (a vb::Error thrown to
    // the caller).
    void InitProperties();
    void ReadProperties(com::PropertyBag &PropBag);
    void WriteProperties(com::PropertyBag &PropBag);

    // Event sinks (the control's connection point).
    void advise(vokTArticuloEvents *sink);
    void unadvise(vokTArticuloEvents *sink);

    int16_t Appearance() const;
    void setAppearance(int16_t value);
    ui::OleColor BackColor() const;
    void setBackColor(ui::OleColor value);
    QString Codigo() const;
    // Keeps the host's connection and starts the language resources; raises
    // error 9000 ("ObjetoLenguaje") when the language component is missing.
    void setConnect(std::shared_ptr<rdo::rdoConnection> connection);
    const std::shared_ptr<rdo::rdoConnection> &connection() const;
    bool Enabled() const;
    void setEnabled(bool value);
    ui::Font Font() const;
    void setFont(const ui::Font &value);
    ui::OleColor ForeColor() const;
    void setForeColor(ui::OleColor value);
    QString FormatCodigo() const;
    void setFormatCodigo(const QString &value);
    int32_t FormatDisplay() const;
    void setFormatDisplay(int32_t value);
    int32_t ID() const;
    void setID(int32_t value);
    uint8_t Idioma() const;
    void setIdioma(uint8_t value);
    int16_t MaxLength() const;
    void setMaxLength(int16_t value);
    QString Nombre() const;
    QString Text() const;
    void setText(const QString &value);
    int32_t NombreADesplegar() const;
    void setNombreADesplegar(int32_t value);
    int16_t Variedad() const;
    void setVariedad(int16_t value);
    // Selects article iID (and variety) as if the user had chosen it.
    void FindArticuloByID(int32_t iID, int16_t &iVariedad);
    void FindArticuloByID(int32_t iID);
    void setEmpresa(int16_t value);
    bool OmitirVariedad() const;
    void setOmitirVariedad(bool value);
    uint8_t EnUso() const;
    uint8_t EnUsoObligatorio() const;
    void setEnUsoObligatorio(uint8_t value);
    uint8_t EnVenta() const;
    uint8_t EnVentaObligatorio() const;
    void setEnVentaObligatorio(uint8_t value);
    uint8_t EsCombo() const;
    uint8_t Decimales() const;
    uint8_t AdmitePrecioQMayor() const;
    bool PedirIncluirVariedad() const;
    void setPedirIncluirVariedad(bool value);
    bool IncluirVariedades() const;
    void setIncluirVariedades(bool value);
    ui::OleColor BackgroundColor() const;
    void setBackgroundColor(ui::OleColor value);
    QString resloadVieja(int16_t idRes) const;
    bool CB() const;
    double CBCantidad() const;
    QString CBVariable() const;
    uint8_t PideSerie() const;
    QString CBFija() const;
    // 255 makes the next lookup read the layout from the database again.
    void setFormatoLista(uint8_t value);
    uint8_t TipoCombo() const;
    void setListaPrecios(int16_t value);
    // The statement Enter would run for this typed text now, for a host that
    // previews its first rows: the list layout and the price type are read
    // first while unknown, and the host's Utilidades normalises the text.
    QString SentenciaDeBusqueda(const QString &sTexto);
    // Opens the detail view of an article and variety.
    void MostrarDetalle(int32_t &Articulo, int16_t &Variedad);

    // The constituent controls and the control's own surface, for the
    // container that places them and for tests.
    ui::UserControl &userControl();
    ui::TextBox &tArticulo();
    ui::CheckBox &chkVariedad();

    // Configuration fields without a public getter.
    int16_t Empresa() const;
    int16_t ListaPrecios() const;
    // 255 while the layout has not been read.
    uint8_t FormatoLista() const;

    // Check-box layouts: 1 hidden, 2 long caption and unticked, 3 short caption
    // keeping the tick; any other number changes nothing.
    void MostrarVariedad(uint8_t modo);
    void SeleccionarTexto();
    // Writes the current article into the text box as FormatDisplay says,
    // the code through the FormatCodigo mask.
    void MostrarArticulo();

private:
    friend class vokTArticuloPrivate;
    std::unique_ptr<vokTArticuloPrivate> d;
};
