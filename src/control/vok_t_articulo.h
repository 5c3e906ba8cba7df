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
#include <vector>

namespace vb {
class Error;
}

namespace rdo {
class rdoConnection;
}

namespace com {
class PropertyBag;
}

namespace lookup {
struct LookupSettings;
}

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
    QString Codigo() const { return mstrCodigo; }
    // Keeps the host's connection and starts the language resources; raises
    // error 9000 ("ObjetoLenguaje") when the language component is missing.
    void setConnect(std::shared_ptr<rdo::rdoConnection> connection);
    const std::shared_ptr<rdo::rdoConnection> &connection() const { return mrdoConexion; }
    bool Enabled() const;
    void setEnabled(bool value);
    ui::Font Font() const;
    void setFont(const ui::Font &value);
    ui::OleColor ForeColor() const;
    void setForeColor(ui::OleColor value);
    QString FormatCodigo() const { return mstrFormatCodigo; }
    void setFormatCodigo(const QString &value);
    int32_t FormatDisplay() const { return mlngFormatDisplay; }
    void setFormatDisplay(int32_t value);
    int32_t ID() const { return mlngID; }
    void setID(int32_t value) { mlngID = value; }
    uint8_t Idioma() const { return mbytIdioma; }
    void setIdioma(uint8_t value) { mbytIdioma = value; }
    int16_t MaxLength() const;
    void setMaxLength(int16_t value);
    QString Nombre() const { return mstrNombre; }
    QString Text() const;
    void setText(const QString &value);
    int32_t NombreADesplegar() const { return mlngNombreADesplegar; }
    void setNombreADesplegar(int32_t value);
    int16_t Variedad() const { return mintVariedad; }
    void setVariedad(int16_t value) { mintVariedad = value; }
    // Selects article iID (and variety) as if the user had chosen it.
    void FindArticuloByID(int32_t iID, int16_t &iVariedad);
    void FindArticuloByID(int32_t iID);
    void setEmpresa(int16_t value) { mintEmpresa = value; }
    bool OmitirVariedad() const { return mblnOmitirVariedad; }
    void setOmitirVariedad(bool value);
    uint8_t EnUso() const { return mbytEnUso; }
    uint8_t EnUsoObligatorio() const { return mbytEnUsoObligatorio; }
    void setEnUsoObligatorio(uint8_t value);
    uint8_t EnVenta() const { return mbytEnVenta; }
    uint8_t EnVentaObligatorio() const { return mbytEnVentaObligatorio; }
    void setEnVentaObligatorio(uint8_t value);
    uint8_t EsCombo() const { return mbytEsCombo; }
    uint8_t Decimales() const { return mbytDecimales; }
    uint8_t AdmitePrecioQMayor() const { return mbytAdmitePrecioQMayor; }
    bool PedirIncluirVariedad() const { return mblnPedirIncluirVariedad; }
    void setPedirIncluirVariedad(bool value);
    bool IncluirVariedades() const;
    void setIncluirVariedades(bool value);
    ui::OleColor BackgroundColor() const;
    void setBackgroundColor(ui::OleColor value);
    QString resloadVieja(int16_t idRes) const;
    bool CB() const { return mblnCB; }
    double CBCantidad() const { return mdblCBCantidad; }
    QString CBVariable() const;
    uint8_t PideSerie() const { return mbytPideSerie; }
    QString CBFija() const;
    void setFormatoLista(uint8_t value) { mbytFormatoLista = value; }
    uint8_t TipoCombo() const { return mbytEsCombo; }
    void setListaPrecios(int16_t value) { mintListaPrecios = value; }
    // Opens the detail view of an article and variety.
    void MostrarDetalle(int32_t &Articulo, int16_t &Variedad);

    // The constituent controls and the control's own surface, for the
    // container that places them and for tests.
    ui::UserControl &userControl() { return *m_userControl; }
    ui::TextBox &tArticulo() { return *m_tArticulo; }
    ui::CheckBox &chkVariedad() { return *m_chkVariedad; }

    // Configuration fields without a public getter.
    int16_t Empresa() const { return mintEmpresa; }
    int16_t ListaPrecios() const { return mintListaPrecios; }
    uint8_t FormatoLista() const { return mbytFormatoLista; }

    // Check-box layouts: 1 hidden, 2 long caption and unticked, 3 short caption
    // keeping the tick.
    void MostrarVariedad(uint8_t modo);
    void SeleccionarTexto();
    // Writes the current article into the text box as FormatDisplay says,
    // the code through the FormatCodigo mask.
    void MostrarArticulo();

private:
    friend struct vokTArticuloTestAccess;

    void LimpiarArticulo();

    // The host's connection; error 91 when none was given.
    rdo::rdoConnection &conexion() const;
    // The lookup settings of the query builders, taken from the fields.
    lookup::LookupSettings lookupSettings() const;
    // Hands the statement to the host's item list and loads the chosen row as
    // the current article; then probes whether the article has varieties.
    void MostrarLista(const QString &sSQL);
    // The statement with which the search dialog checks its condition.
    QString SQLBaseBusqueda() const;
    // The list layout kept in the database parameter "FmtCabezalArticulo";
    // 0 when it cannot be read.
    uint8_t LeerFormatoLista();
    // The sale price type of the company's current price list; 0 when none.
    int16_t LeerTipoPrecio(int16_t &iEmpresa);
    void markChanged(const char *property);
    void onResize();

    // Keyboard handling of the text box and the check box.
    void wireKeyboard();
    bool textoResoluble() const;
    void raiseKeyPress(int16_t &KeyAscii);
    void tArticuloChange();
    void tArticuloKeyDown(int16_t &KeyCode, int16_t &Shift);
    void tArticuloKeyPress(int16_t &KeyAscii);
    void tArticuloValidate();
    void chkVariedadKeyPress(int16_t &KeyAscii);

    // Resolving typed text: ValidarArticulo reports any failure through the
    // Error event; BuscarArticulo resolves a text, or a ready search condition
    // when sCondicion is not empty.
    void ValidarArticulo(const QString &sTexto);
    void BuscarArticulo(const QString &sTexto, const QString &sCondicion);
    static QString TextoError(const vb::Error &error);
    // F4: the advanced search dialog, and the search with the condition it
    // hands back. Ends silently on any error.
    void BusquedaAvanzada();
    // Delivers an event to every sink; a sink may unadvise itself meanwhile.
    template <typename Event> void raise(Event &&event)
    {
        const auto sinks = m_sinks;
        for (vokTArticuloEvents *sink : sinks)
            event(*sink);
    }

    std::unique_ptr<ui::UserControl> m_userControl;
    std::unique_ptr<ui::TextBox> m_tArticulo;
    std::unique_ptr<ui::CheckBox> m_chkVariedad;
    std::vector<vokTArticuloEvents *> m_sinks;

    // Configuration set by the host.
    std::shared_ptr<rdo::rdoConnection> mrdoConexion;
    int16_t mintEmpresa = 0;
    int16_t mintListaPrecios = 0;
    uint8_t mbytIdioma = 0;
    int32_t mlngFormatDisplay = 0;
    QString mstrFormatCodigo;
    int32_t mlngNombreADesplegar = and_Nombre;
    bool mblnOmitirVariedad = false;
    bool mblnPedirIncluirVariedad = true;
    uint8_t mbytEnUsoObligatorio = 0;
    uint8_t mbytEnVentaObligatorio = 0;
    uint8_t mbytFormatoLista = 255;

    // The current article, filled by the lookups.
    int32_t mlngID = 0;
    int16_t mintVariedad = 0;
    QString mstrCodigo;
    QString mstrNombre;
    uint8_t mbytEnUso = 0;
    uint8_t mbytEnVenta = 0;
    uint8_t mbytEsCombo = 0;
    uint8_t mbytDecimales = 0;
    uint8_t mbytAdmitePrecioQMayor = 0;
    uint8_t mbytPideSerie = 0;
    bool mblnCB = false;
    double mdblCBCantidad = 0;
    vb::Variant mvarCBFija;
    vb::Variant mvarCBVariable;

    // Private bookkeeping of the lookups.
    bool mblnConVariedades = false;
    int16_t mintTipoPrecio = 0;
    int16_t mintListaTipoPrecio = -1;
};
