#include "search/frm_busqueda.h"

#include "search/condition_builder.h"

#include "component/modglobal.h"
#include "language/modlenguaje.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/constants.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "platform/vb/resume_next.h"

#include <algorithm>
#include <vector>

namespace search {

namespace {

using language::TextoIdioma;

// The client area the controls are laid out in.
constexpr ui::Twips AnchoCliente = 4290;
constexpr ui::Twips AltoCliente = 2985;
// The window's frame around it, as a fixed dialog has it at 15 twips a pixel:
// a border of 3 pixels on every side and a caption bar of 20 pixels. The
// window's size is its outer size, so it is the client area plus this frame.
constexpr ui::Twips BordeMarco = 45;
constexpr ui::Twips BarraTitulo = 300;
constexpr ui::Twips AnchoVentana = AnchoCliente + 2 * BordeMarco;
constexpr ui::Twips AltoVentana = AltoCliente + BarraTitulo + 2 * BordeMarco;

constexpr ui::OleColor ColorVentana = 14602190; // red 206, green 207, blue 222
constexpr ui::OleColor ColorBotones = 14604246; // red 214, green 215, blue 222

constexpr int32_t CodigoNo = 2;

const ui::Font FuenteDialogo{QStringLiteral("Tahoma"), 8.25};

struct Rectangulo {
    ui::Twips left, top, width, height;
};

void colocar(ui::Window &control, const Rectangulo &r)
{
    control.move(r.left, r.top, r.width, r.height);
}

std::unique_ptr<ui::Label> crearEtiqueta(ui::Container &contenedor, const Rectangulo &r, const QString &texto)
{
    auto etiqueta = ui::toolkit().createLabel(contenedor);
    colocar(*etiqueta, r);
    etiqueta->setCaption(texto);
    etiqueta->setFont(FuenteDialogo);
    // The captions stand on the window's own colour, as if drawn through.
    etiqueta->setBackColor(ColorVentana);
    return etiqueta;
}

std::unique_ptr<ui::ComboBox> crearCombo(ui::Container &contenedor, const Rectangulo &r)
{
    auto combo = ui::toolkit().createComboBox(contenedor);
    colocar(*combo, r);
    combo->setFont(FuenteDialogo);
    return combo;
}

std::unique_ptr<ui::Button> crearBoton(ui::Container &contenedor, const Rectangulo &r, const QString &texto)
{
    auto boton = ui::toolkit().createButton(contenedor);
    colocar(*boton, r);
    boton->setCaption(texto);
    boton->setFont(FuenteDialogo);
    return boton;
}

template <size_t N>
void llenarCombo(ui::ComboBox &combo, const std::array<EntradaCombo, N> &entradas)
{
    for (const EntradaCombo &entrada : entradas)
        combo.addItem(TextoIdioma(entrada.texto), entrada.codigo);
}

// The item code of the selected entry; no entry selected is the platform's
// error for reading outside the entries.
int32_t codigoElegido(const ui::ComboBox &combo)
{
    return combo.itemData(combo.listIndex());
}

// The dialogs that exist on this thread, for deVentana.
std::vector<frmBusqueda *> &dialogos()
{
    thread_local std::vector<frmBusqueda *> existentes;
    return existentes;
}

} // namespace

frmBusqueda::frmBusqueda()
{
    crearControles();
    conectarEventos();
    dialogos().push_back(this);
}

frmBusqueda::~frmBusqueda()
{
    auto &existentes = dialogos();
    existentes.erase(std::remove(existentes.begin(), existentes.end(), this), existentes.end());
}

frmBusqueda *frmBusqueda::deVentana(const ui::Form &ventana)
{
    for (frmBusqueda *dialogo : dialogos())
        if (dialogo->m_form.get() == &ventana)
            return dialogo;
    return nullptr;
}

// The window as designed; tab order is the order of creation.
void frmBusqueda::crearControles()
{
    ui::Toolkit &toolkit = ui::toolkit();
    m_form = toolkit.createForm();
    m_form->setWidth(AnchoVentana);
    m_form->setHeight(AltoVentana);
    m_form->setCaption(QStringLiteral("Búsqueda Avanzada"));
    m_form->setKeyPreview(true);

    ui::Form &f = *m_form;
    m_lblCampo = crearEtiqueta(f, {60, 180, 1575, 315}, QStringLiteral("Buscar en &Campo:"));
    m_cmbCampo = crearCombo(f, {1500, 120, 2715, 315});
    m_lblTipoB = crearEtiqueta(f, {60, 540, 1575, 315}, QStringLiteral("&Tipo de Búsqueda:"));
    m_cmbTipo = crearCombo(f, {1500, 480, 2715, 315});
    m_lblTexto = crearEtiqueta(f, {60, 900, 1575, 315}, QStringLiteral("Texto a &Buscar:"));
    m_txtTexto = toolkit.createTextBox(f);
    colocar(*m_txtTexto, {1500, 840, 2715, 315});
    m_txtTexto->setFont(FuenteDialogo);
    m_txtTexto->setText(QStringLiteral("Text1"));
    m_lblEnUso = crearEtiqueta(f, {60, 1380, 1575, 315}, QStringLiteral("En &uso:"));
    m_cmbEnUso = crearCombo(f, {1500, 1320, 1275, 315});
    m_lblEnVenta = crearEtiqueta(f, {60, 1740, 1575, 315}, QStringLiteral("En &venta:"));
    m_cmbEnVenta = crearCombo(f, {1500, 1680, 1275, 315});
    m_lblCB = crearEtiqueta(f, {60, 2190, 1575, 315}, QStringLiteral("Código de Barras:"));
    m_cmbCB = crearCombo(f, {1500, 2160, 1935, 315});
    m_picButtons = toolkit.createPictureBox(f);
    colocar(*m_picButtons, {0, 2565, 4290, 415});
    m_btnOk = crearBoton(*m_picButtons, {1950, 50, 1095, 315}, QStringLiteral("&Aceptar"));
    m_btnCancelar = crearBoton(*m_picButtons, {3150, 50, 1095, 315}, QStringLiteral("Cancelar"));
}

void frmBusqueda::conectarEventos()
{
    m_form->onLoad = [this] { Form_Load(); };
    m_form->onUnload = [this] { Form_Unload(); };
    m_form->onKeyDown = [this](int16_t &KeyCode, int16_t &Shift) { Form_KeyDown(KeyCode, Shift); };
    m_btnOk->onClick = [this] { btnOk_Click(); };
    m_btnCancelar->onClick = [this] { m_form->unload(); };
    m_txtTexto->onGotFocus = [this] { txtTexto_GotFocus(); };
    m_txtTexto->onKeyPress = [this](int16_t &KeyAscii) { txtTexto_KeyPress(KeyAscii); };
    for (ui::ComboBox *combo : {m_cmbCampo.get(), m_cmbTipo.get(), m_cmbEnUso.get(), m_cmbEnVenta.get()})
        combo->onKeyPress = [this, combo](int16_t &KeyAscii) { ComboKeyPress(*combo, KeyAscii); };
    m_cmbCB->onKeyPress = [this](int16_t &KeyAscii) { cmbCB_KeyPress(KeyAscii); };
    m_cmbEnUso->onSelectionChange = [this] { cmbEnUso_SelectionChange(); };
    for (ui::Label *etiqueta : {m_lblCampo.get(), m_lblTipoB.get(), m_lblTexto.get()})
        etiqueta->onClick = [this] { SiguienteControl(); };
}

void frmBusqueda::Show()
{
    m_form->showModal();
}

// Whatever fails on the way, the dialog opens.
void frmBusqueda::Form_Load()
{
    vb::ResumeNext([&] { mlngOwnerAnterior = modGlobal::SetWindowOwner(m_form->hWnd(), 0); });
    prmSQL.clear();
    vb::ResumeNext([&] { InicializarControles(); });
    vb::ResumeNext([&] { OpcionesRibbon(); });
    // Centred across the screen, a third of the free height above the window.
    vb::ResumeNext([&] {
        const ui::Screen &pantalla = ui::toolkit().screen();
        m_form->setLeft(vb::CLng((static_cast<double>(pantalla.width()) - m_form->width()) / 2.0));
    });
    vb::ResumeNext([&] {
        const ui::Screen &pantalla = ui::toolkit().screen();
        m_form->setTop(vb::CLng((static_cast<double>(pantalla.height()) - m_form->height()) / 3.0));
    });
}

void frmBusqueda::Form_Unload()
{
    vb::ResumeNext([&] { modGlobal::SetWindowOwner(m_form->hWnd(), mlngOwnerAnterior); });
}

// The window sees every key first: Escape closes the dialog from any control.
void frmBusqueda::Form_KeyDown(int16_t &KeyCode, int16_t &)
{
    if (KeyCode == ui::vbKeyEscape)
        vb::ResumeNext([&] { m_form->unload(); });
}

// An error here stops the rest of the set-up; the caller goes on without it.
void frmBusqueda::InicializarControles()
{
    CargarTextos();

    m_form->setBackColor(ColorVentana);
    m_picButtons->setBackColor(ColorBotones);
    m_btnOk->setBackColor(ColorVentana);
    m_btnCancelar->setBackColor(ColorVentana);

    llenarCombo(*m_cmbCampo, kEntradasCampo);
    m_cmbCampo->setListIndex(0);

    llenarCombo(*m_cmbTipo, kEntradasTipo);
    m_cmbTipo->setListIndex(2);

    // A preset selects the entry with its item code; a preset other than
    // "either" also locks the combo on it.
    llenarCombo(*m_cmbEnUso, kEntradasEnUso);
    m_cmbEnUso->setListIndex(mbytEnUso == 0 ? 0 : mbytEnUso - 1);
    m_cmbEnUso->setEnabled(mbytEnUso == 0 || mbytEnUso == 3);

    llenarCombo(*m_cmbEnVenta, kEntradasEnVenta);
    m_cmbEnVenta->setListIndex(mbytEnVenta == 0 ? 0 : mbytEnVenta - 1);
    m_cmbEnVenta->setEnabled(mbytEnVenta == 0 || mbytEnVenta == 3);

    llenarCombo(*m_cmbCB, kEntradasCB);
    m_cmbCB->setListIndex(2);

    m_txtTexto->setText(QString());
}

// The captions in the user's language; the in-use, on-sale and bar-code
// labels keep their own.
void frmBusqueda::CargarTextos()
{
    vb::ResumeNext([&] { m_form->setCaption(TextoIdioma(841)); });
    vb::ResumeNext([&] { m_lblCampo->setCaption(TextoIdioma(842)); });
    vb::ResumeNext([&] { m_lblTipoB->setCaption(TextoIdioma(843)); });
    vb::ResumeNext([&] { m_lblTexto->setCaption(TextoIdioma(844)); });
    vb::ResumeNext([&] { m_btnOk->setCaption(TextoIdioma(845)); });
    vb::ResumeNext([&] { m_btnCancelar->setCaption(TextoIdioma(846)); });
}

// The host styles its windows with a command-bars skin kept in a Windows
// library under its folder; nothing on this platform can load it, so the
// application folder is not asked for. What remains of the look is ours:
// the flat combos and buttons of the toolkit, and a text box drawn flat to
// match them.
void frmBusqueda::OpcionesRibbon()
{
    try {
        m_txtTexto->setAppearance(0);
    } catch (const std::exception &) {
        // The window keeps the look it had.
    }
}

void frmBusqueda::btnOk_Click()
{
    try {
        if (!vb::Trim(m_txtTexto->text()).isEmpty()) {
            // Quotes would break the literal the text is put in.
            m_txtTexto->setText(vb::Replace(m_txtTexto->text(), QStringLiteral("'"), QString()));
            if (m_cmbCampo->listIndex() == -1) {
                m_cmbCampo->setFocus();
                return;
            }
            if (m_cmbTipo->listIndex() == -1) {
                m_cmbTipo->setFocus();
                return;
            }
        }

        prmSQL = ArmarCondicion();
        m_ultimoAceptar = {prmSQL, QString(), false};

        if (HayArticulos()) {
            m_form->unload();
            return;
        }

        prmSQL.clear();
        vb::ResumeNext([&] {
            vb::CallByName(language::objetoMensajes(), QStringLiteral("MostrarMensaje"), vb::CallKind::Method,
                           {TextoIdioma(863), ui::vbInformation, TextoIdioma(841)});
        });
        m_txtTexto->setFocus();
    } catch (const std::exception &) {
        // The dialog stays as it is.
    }
}

// The criteria as the controls hold them; "" when one of them cannot be read.
QString frmBusqueda::ArmarCondicion()
{
    try {
        Criterios criterios;
        criterios.txtTexto = m_txtTexto->text();
        // Without a text the field and the kind of match play no part.
        if (!vb::Trim(criterios.txtTexto).isEmpty()) {
            criterios.cmbCampo = codigoElegido(*m_cmbCampo);
            criterios.cmbTipo = codigoElegido(*m_cmbTipo);
        }
        criterios.cmbEnUso = codigoElegido(*m_cmbEnUso);
        criterios.cmbEnVenta = codigoElegido(*m_cmbEnVenta);
        criterios.cmbCB = codigoElegido(*m_cmbCB);
        return search::ArmarCondicion(criterios);
    } catch (const std::exception &) {
        return QString();
    }
}

// Whether the check statement, narrowed by the condition, finds an article.
// Any failure counts as nothing found.
bool frmBusqueda::HayArticulos()
{
    if (mstrSQLValidar.isEmpty())
        return true;
    ui::Screen &pantalla = ui::toolkit().screen();
    bool hay = false;
    try {
        pantalla.setMousePointer(ui::vbHourglass);
        QString sentencia = mstrSQLValidar;
        if (!prmSQL.isEmpty())
            sentencia += QStringLiteral(" And ") + prmSQL;
        m_ultimoAceptar.comprobacion = sentencia;
        if (!mrdoCBase)
            throw vb::Error::standard(vb::err::ObjectNotSet);
        const auto resultado = mrdoCBase->OpenResultset(sentencia, rdo::rdOpenDynamic, rdo::rdConcurValues);
        hay = !resultado->Eof();
        resultado->Close();
    } catch (const std::exception &) {
        hay = false;
    }
    vb::ResumeNext([&] { pantalla.setMousePointer(ui::vbDefault); });
    m_ultimoAceptar.encontrado = hay;
    return hay;
}

// Not in use cannot be on sale: choosing it forces on sale to "no" and locks
// that combo; any other choice frees it and keeps its entry.
void frmBusqueda::cmbEnUso_SelectionChange()
{
    vb::ResumeNext([&] {
        if (codigoElegido(*m_cmbEnUso) == CodigoNo) {
            m_cmbEnVenta->setListIndex(m_cmbEnVenta->findItemData(CodigoNo));
            m_cmbEnVenta->setEnabled(false);
        } else {
            m_cmbEnVenta->setEnabled(true);
        }
    });
}

void frmBusqueda::txtTexto_GotFocus()
{
    vb::ResumeNext([&] {
        m_txtTexto->setSelStart(0);
        m_txtTexto->setSelLength(static_cast<int32_t>(m_txtTexto->text().size()));
    });
}

// Enter moves on as Tab does; the key itself still reaches the control.
void frmBusqueda::txtTexto_KeyPress(int16_t &KeyAscii)
{
    if (KeyAscii == ui::vbKeyReturn)
        SiguienteControl();
}

void frmBusqueda::ComboKeyPress(ui::ComboBox &combo, int16_t &KeyAscii)
{
    if (KeyAscii == ui::vbKeyReturn && combo.listIndex() != -1)
        SiguienteControl();
}

void frmBusqueda::cmbCB_KeyPress(int16_t &KeyAscii)
{
    if (KeyAscii == ui::vbKeyReturn)
        SiguienteControl();
}

// One Tab keystroke to the window: the focus moves on from wherever it is.
void frmBusqueda::SiguienteControl()
{
    vb::ResumeNext([] { ui::toolkit().sendTab(); });
}

} // namespace search
