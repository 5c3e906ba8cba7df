#pragma once
// Not part of the control's interface: the state of a vokTArticulo and the
// routines only its own handlers call. Hosts include vok_t_articulo.h; this
// header may change from one build to the next.

#include "vok_t_articulo.h"

#include "lookup/chosen_row.h"
#include "lookup/query_builder.h"

#include <optional>

// The check box's layouts. The host's MostrarVariedad passes them as 1 to 3.
enum class ModoVariedad : uint8_t {
    Oculto = 1, // hidden and unticked, the text box at full width
    Largo = 2,  // the long caption, unticked: the article just found has varieties
    Corto = 3,  // the short caption, keeping the tick
};

class vokTArticuloPrivate {
public:
    explicit vokTArticuloPrivate(vokTArticulo &owner) : q(owner) {}

    static vokTArticuloPrivate &get(vokTArticulo &control) { return *control.d; }

    // The host's connection; error 91 when none was given.
    rdo::rdoConnection &conexion() const;
    // The settings of the lookup statements, taken from the fields.
    lookup::LookupSettings lookupSettings() const;

    void LimpiarArticulo();
    void MostrarVariedad(ModoVariedad modo);
    void onResize();
    void markChanged(const char *property);

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
    // The settings of a lookup about to run, with the layout and the price
    // type read first while unknown; the statement of a typed text on them.
    lookup::LookupSettings ajustesDeBusqueda();
    QString sentenciaDeTexto(const QString &sTexto);
    // The layout read from the database while it is unknown, and only then.
    void leerFormatoSiFalta();
    uint8_t LeerFormatoLista();
    int16_t LeerTipoPrecio(int16_t iEmpresa);
    // Hands the statement to the host's item list and loads the chosen row as
    // the current article; then probes whether the article has varieties.
    void MostrarLista(const QString &sSQL);
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

    vokTArticulo &q;
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
    // The candidate list's layout; none until read from the database or set by the host.
    std::optional<uint8_t> formatoLista;

    // The current article, and what the last chosen row left beside it.
    lookup::FilaElegida fila;
    bool mblnConVariedades = false;

    // The price type, and the price list it was read for (none at creation).
    int16_t mintTipoPrecio = 0;
    std::optional<int16_t> listaTipoPrecio;
};
