#pragma once
// frmBusqueda: the advanced search dialog of the article-entry control. The
// user picks the field to search in, the kind of match, a text and three
// filters (in use, on sale, bar codes); OK turns them into one condition over
// Articulo, checks on the database that it finds at least one article and
// hands it back in prmSQL. Cancel, Escape, the close box or a condition that
// finds nothing hand back nothing.
//
// The opener sets the public variables, shows the dialog modally, reads
// prmSQL once it has closed and then releases the object. Each opening is a
// new object: nothing is remembered between openings.

#include "platform/ui/window.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace rdo {
class rdoConnection;
}

namespace search {

class frmBusqueda {
public:
    // The window and its controls, laid out and not yet loaded; both presets 0.
    frmBusqueda();
    ~frmBusqueda();
    frmBusqueda(const frmBusqueda &) = delete;
    frmBusqueda &operator=(const frmBusqueda &) = delete;

    // The channel between the opener and the dialog.
    // The statement a condition is checked with; empty means every condition finds.
    QString mstrSQLValidar;
    // The condition handed back; empty means: do not search.
    QString prmSQL;
    // The opener's connection, used only for the check.
    std::shared_ptr<rdo::rdoConnection> mrdoCBase;
    // Presets of the in-use and on-sale combos: 0 free choice; 1, 2 or 3
    // preselect the entry with that item code and lock the combo (3 leaves
    // it free).
    uint8_t mbytEnUso = 0;
    uint8_t mbytEnVenta = 0;

    // Loads and shows the window modally; returns once it has been unloaded.
    void Show();

    // The window's calm, flat look. Errors end it quietly.
    void OpcionesRibbon();

    // The dialog whose window this is, while the dialog exists; nullptr for
    // any other window. Lets whoever answers a modal window (a script, a test)
    // reach the controls by name, as the platform's forms collection does.
    static frmBusqueda *deVentana(const ui::Form &ventana);

    // The window and its controls, reachable by name as a form's controls are.
    ui::Form &ventana() { return *m_form; }
    ui::Label &lblCampo() { return *m_lblCampo; }
    ui::ComboBox &cmbCampo() { return *m_cmbCampo; }
    ui::Label &lblTipoB() { return *m_lblTipoB; }
    ui::ComboBox &cmbTipo() { return *m_cmbTipo; }
    ui::Label &lblTexto() { return *m_lblTexto; }
    ui::TextBox &txtTexto() { return *m_txtTexto; }
    ui::Label &lblEnUso() { return *m_lblEnUso; }
    ui::ComboBox &cmbEnUso() { return *m_cmbEnUso; }
    ui::Label &lblEnVenta() { return *m_lblEnVenta; }
    ui::ComboBox &cmbEnVenta() { return *m_cmbEnVenta; }
    ui::Label &lblCB() { return *m_lblCB; }
    ui::ComboBox &cmbCB() { return *m_cmbCB; }
    ui::PictureBox &picButtons() { return *m_picButtons; }
    ui::Button &btnOk() { return *m_btnOk; }
    ui::Button &btnCancelar() { return *m_btnCancelar; }

    // What the last OK did, for a host that reports the dialog's work: the
    // condition it built, the statement the check ran (empty when nothing
    // was run) and whether that statement found an article.
    struct UltimoAceptar {
        QString condicion;
        QString comprobacion;
        bool encontrado = false;
    };
    const UltimoAceptar &ultimoAceptar() const { return m_ultimoAceptar; }

private:
    void crearControles();
    void conectarEventos();

    void Form_Load();
    void Form_Unload();
    void Form_KeyDown(int16_t &KeyCode, int16_t &Shift);
    void btnOk_Click();
    void cmbEnUso_SelectionChange();
    void txtTexto_GotFocus();
    void txtTexto_KeyPress(int16_t &KeyAscii);
    void ComboKeyPress(ui::ComboBox &combo, int16_t &KeyAscii);
    void cmbCB_KeyPress(int16_t &KeyAscii);

    void InicializarControles();
    void CargarTextos();
    void SiguienteControl();
    bool HayArticulos();
    QString ArmarCondicion();

    std::unique_ptr<ui::Form> m_form;
    std::unique_ptr<ui::Label> m_lblCampo;
    std::unique_ptr<ui::ComboBox> m_cmbCampo;
    std::unique_ptr<ui::Label> m_lblTipoB;
    std::unique_ptr<ui::ComboBox> m_cmbTipo;
    std::unique_ptr<ui::Label> m_lblTexto;
    std::unique_ptr<ui::TextBox> m_txtTexto;
    std::unique_ptr<ui::Label> m_lblEnUso;
    std::unique_ptr<ui::ComboBox> m_cmbEnUso;
    std::unique_ptr<ui::Label> m_lblEnVenta;
    std::unique_ptr<ui::ComboBox> m_cmbEnVenta;
    std::unique_ptr<ui::Label> m_lblCB;
    std::unique_ptr<ui::ComboBox> m_cmbCB;
    std::unique_ptr<ui::PictureBox> m_picButtons;
    std::unique_ptr<ui::Button> m_btnOk;
    std::unique_ptr<ui::Button> m_btnCancelar;

    // The owner the window had before load detached it; given back on unload.
    int32_t mlngOwnerAnterior = 0;
    UltimoAceptar m_ultimoAceptar;
};

} // namespace search
