// The advanced search dialog on the headless toolkit: a script answers each
// opening as the user would, and a scripted connection answers the check.

#include "language_fixture.h"

#include "language/modlenguaje.h"
#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"
#include "search/frm_busqueda.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>

namespace {

using search::frmBusqueda;

// A result set with one row or none.
class Filas final : public rdo::rdoResultset {
public:
    Filas(bool hay, int &cierres) : m_hay(hay), m_cierres(cierres) {}
    bool Eof() const override { return !m_hay; }
    const rdo::rdoColumns &rdoColumns() const override { return m_columnas; }
    void MoveNext() override { m_hay = false; }
    void Close() override { ++m_cierres; }

private:
    bool m_hay;
    int &m_cierres;
    rdo::rdoColumns m_columnas;
};

// Keeps every statement with its result-set and lock types; answers with a
// row, no row or the engine's error as the test says.
class ConexionGuionada final : public rdo::rdoConnection {
public:
    enum class Respuesta { Fila, Nada, Error };

    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t type, int16_t lockType) override
    {
        sentencias << sql;
        tipos << QStringLiteral("%1/%2").arg(type).arg(lockType);
        if (respuesta == Respuesta::Error)
            throw vb::Error(1, QStringLiteral("no such column: ArtNada"), QStringLiteral("SQLite"));
        return std::make_shared<Filas>(respuesta == Respuesta::Fila, cierres);
    }
    QString Connect() const override { return QStringLiteral("guion:"); }

    Respuesta respuesta = Respuesta::Fila;
    QStringList sentencias;
    QStringList tipos;
    int cierres = 0;
};

const QString Base = QStringLiteral("Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 1");

class FrmBusquedaTest : public vok::test::LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        provideLanguage(QStringLiteral("LNG_QFA_001.clsResources"));
        QString aplicacion = QStringLiteral("VOK04");
        QString modulo = QStringLiteral("vokArtBuscar");
        ASSERT_EQ(language::InicializarLenguaje(aplicacion, modulo), 1);
        toolkit().screen().resize(15360, 11520);
        conexion = std::make_shared<ConexionGuionada>();
        dialogo = std::make_unique<frmBusqueda>();
        dialogo->mrdoCBase = conexion;
        dialogo->mstrSQLValidar = Base;
    }
    void TearDown() override
    {
        dialogo.reset();
        LanguageFixture::TearDown();
    }

    // Shows the dialog with the user's actions; the window is closed as by its
    // close box if they leave it open.
    void abrir(std::function<void(frmBusqueda &)> usuario)
    {
        toolkit().queueModalAnswer([this, usuario](ui::Form &ventana) {
            ASSERT_EQ(frmBusqueda::deVentana(ventana), dialogo.get());
            usuario(*dialogo);
        });
        dialogo->Show();
    }

    static ui::HeadlessComboBox &combo(ui::ComboBox &c) { return static_cast<ui::HeadlessComboBox &>(c); }
    static ui::HeadlessTextBox &caja(ui::TextBox &t) { return static_cast<ui::HeadlessTextBox &>(t); }
    static ui::HeadlessButton &boton(ui::Button &b) { return static_cast<ui::HeadlessButton &>(b); }
    static ui::HeadlessForm &ventana(frmBusqueda &d) { return static_cast<ui::HeadlessForm &>(d.ventana()); }
    // The user chooses the entry with that item code.
    static void elegir(ui::ComboBox &c, int32_t codigo) { combo(c).setListIndex(c.findItemData(codigo)); }
    static int32_t codigo(const ui::ComboBox &c) { return c.itemData(c.listIndex()); }
    void escribir(frmBusqueda &d, const QString &texto)
    {
        d.txtTexto().setFocus();
        caja(d.txtTexto()).type(texto);
    }

    std::shared_ptr<ConexionGuionada> conexion;
    std::unique_ptr<frmBusqueda> dialogo;
};

TEST_F(FrmBusquedaTest, WindowAsDesignedWithTheUsersTexts)
{
    struct Esperado {
        ui::Window *control;
        ui::Twips left, top, width, height;
        QString texto;
    };
    frmBusqueda &d = *dialogo;
    const auto caption = [](ui::Window *w) -> QString {
        if (auto *l = dynamic_cast<ui::Label *>(w))
            return l->caption();
        if (auto *b = dynamic_cast<ui::Button *>(w))
            return b->caption();
        if (auto *t = dynamic_cast<ui::TextBox *>(w))
            return t->text();
        return {};
    };
    const std::vector<Esperado> tabla{
        {&d.lblCampo(), 60, 180, 1575, 315, "texto 1842"},
        {&d.cmbCampo(), 1500, 120, 2715, 315, ""},
        {&d.lblTipoB(), 60, 540, 1575, 315, "texto 1843"},
        {&d.cmbTipo(), 1500, 480, 2715, 315, ""},
        {&d.lblTexto(), 60, 900, 1575, 315, "texto 1844"},
        {&d.txtTexto(), 1500, 840, 2715, 315, ""},
        {&d.lblEnUso(), 60, 1380, 1575, 315, "En &uso:"},
        {&d.cmbEnUso(), 1500, 1320, 1275, 315, ""},
        {&d.lblEnVenta(), 60, 1740, 1575, 315, "En &venta:"},
        {&d.cmbEnVenta(), 1500, 1680, 1275, 315, ""},
        {&d.lblCB(), 60, 2190, 1575, 315, "Código de Barras:"},
        {&d.cmbCB(), 1500, 2160, 1935, 315, ""},
        {&d.picButtons(), 0, 2565, 4290, 415, ""},
        {&d.btnOk(), 1950, 50, 1095, 315, "texto 1845"},
        {&d.btnCancelar(), 3150, 50, 1095, 315, "texto 1846"},
    };
    // Before load: the design captions.
    EXPECT_EQ(d.ventana().caption(), "Búsqueda Avanzada");
    EXPECT_EQ(d.lblCampo().caption(), "Buscar en &Campo:");
    EXPECT_EQ(d.btnOk().caption(), "&Aceptar");
    EXPECT_EQ(d.txtTexto().text(), "Text1");

    toolkit().setWindowOwner(d.ventana().hWnd(), 4242);
    abrir([&](frmBusqueda &) {
        EXPECT_EQ(toolkit().windowOwner(d.ventana().hWnd()), 0);
        EXPECT_EQ(d.ventana().caption(), "texto 1841");
        for (const Esperado &e : tabla) {
            SCOPED_TRACE(e.texto.toStdString() + " at " + std::to_string(e.top));
            EXPECT_EQ(e.control->left(), e.left);
            EXPECT_EQ(e.control->top(), e.top);
            EXPECT_EQ(e.control->width(), e.width);
            EXPECT_EQ(e.control->height(), e.height);
            EXPECT_EQ(caption(e.control), e.texto);
        }
        // Tab order: the order of the table, labels and the strip skipped.
        std::vector<ui::Window *> orden;
        ui::Window *w = toolkit().focused();
        for (int i = 0; i < 8; ++i, w = ventana(d).nextInTabOrder(w))
            orden.push_back(w);
        EXPECT_EQ(orden, (std::vector<ui::Window *>{&d.cmbCampo(), &d.cmbTipo(),
                                                     &d.txtTexto(), &d.cmbEnUso(), &d.cmbEnVenta(), &d.cmbCB(),
                                                     &d.btnOk(), &d.btnCancelar()}));
        const ui::Font tahoma{"Tahoma", 8.25};
        EXPECT_EQ(d.lblCB().font(), tahoma);
        EXPECT_EQ(d.cmbCampo().font(), tahoma);
        EXPECT_EQ(d.txtTexto().font(), tahoma);
        EXPECT_EQ(d.btnCancelar().font(), tahoma);
        EXPECT_EQ(d.ventana().backColor(), 14602190u);
        EXPECT_EQ(d.picButtons().backColor(), 14604246u);
        EXPECT_EQ(d.btnOk().backColor(), 14602190u);
        EXPECT_EQ(d.btnCancelar().backColor(), 14602190u);
        EXPECT_EQ(d.txtTexto().appearance(), 0);
        // Centred, a third of the free height above it.
        EXPECT_EQ(d.ventana().left(), (15360 - d.ventana().width()) / 2);
        EXPECT_EQ(d.ventana().top(), (11520 - d.ventana().height()) / 3);
        EXPECT_TRUE(ventana(d).keyPreview());
    });
    EXPECT_EQ(toolkit().windowOwner(d.ventana().hWnd()), 4242);
}

TEST_F(FrmBusquedaTest, CombosFilledWithCodesAndTexts)
{
    abrir([](frmBusqueda &d) {
        const auto entradas = [](ui::ComboBox &c) {
            QStringList hay;
            for (int32_t i = 0; i < c.listCount(); ++i)
                hay << QStringLiteral("%1=%2").arg(c.itemData(i)).arg(combo(c).itemCaption(i));
            return hay.join(u',');
        };
        EXPECT_EQ(entradas(d.cmbCampo()), "0=texto 1851,1=texto 1852,2=texto 1853,3=texto 1854,4=texto 1855,"
                                          "5=texto 1856,6=texto 1864,7=texto 1865,8=texto 1857,9=texto 1858,"
                                          "10=texto 1859");
        EXPECT_EQ(entradas(d.cmbTipo()), "1=texto 1860,2=texto 1861,3=texto 1862");
        EXPECT_EQ(entradas(d.cmbEnUso()), "1=texto 1866,2=texto 1867,3=texto 1868");
        EXPECT_EQ(entradas(d.cmbEnVenta()), "1=texto 1866,2=texto 1867,3=texto 1868");
        EXPECT_EQ(entradas(d.cmbCB()), "1=texto 1869,2=texto 1870,3=texto 1868");
        EXPECT_EQ(codigo(d.cmbCampo()), 0);
        EXPECT_EQ(codigo(d.cmbTipo()), 3);
        EXPECT_EQ(codigo(d.cmbCB()), 3);
    });
}

// The fractional centre of an odd screen is rounded to the nearest twip, an
// exact half to the even one.
TEST_F(FrmBusquedaTest, CentredInFloatingPoint)
{
    const ui::Twips ancho = dialogo->ventana().width();
    const ui::Twips alto = dialogo->ventana().height();
    toolkit().screen().resize(ancho + 1, alto + 2);
    abrir([&](frmBusqueda &d) {
        EXPECT_EQ(d.ventana().left(), 0);  // 0.5
        EXPECT_EQ(d.ventana().top(), 1);   // 0.667
    });
    toolkit().screen().resize(15360, 11520);
}

TEST_F(FrmBusquedaTest, PresetsSelectAndLockTheFilters)
{
    struct Caso {
        uint8_t enUso, enVenta;
        int32_t codigoUso;
        bool usoLibre;
        int32_t codigoVenta;
        bool ventaLibre;
    };
    // A preset of 2 for in use runs the on-sale coupling before on sale is
    // filled; filling it afterwards sets it from its own preset.
    for (const Caso &c : {Caso{0, 0, 1, true, 1, true}, Caso{1, 0, 1, false, 1, true}, Caso{0, 1, 1, true, 1, false},
                          Caso{3, 3, 3, true, 3, true}, Caso{2, 2, 2, false, 2, false}, Caso{2, 0, 2, false, 1, true}}) {
        SCOPED_TRACE(testing::Message() << int(c.enUso) << "/" << int(c.enVenta));
        dialogo = std::make_unique<frmBusqueda>();
        dialogo->mbytEnUso = c.enUso;
        dialogo->mbytEnVenta = c.enVenta;
        abrir([&](frmBusqueda &d) {
            EXPECT_EQ(codigo(d.cmbEnUso()), c.codigoUso);
            EXPECT_EQ(d.cmbEnUso().isEnabled(), c.usoLibre);
            EXPECT_EQ(codigo(d.cmbEnVenta()), c.codigoVenta);
            EXPECT_EQ(d.cmbEnVenta().isEnabled(), c.ventaLibre);
        });
    }
}

TEST_F(FrmBusquedaTest, NotInUseForcesNotOnSaleUntilInUseChangesAgain)
{
    abrir([](frmBusqueda &d) {
        elegir(d.cmbEnVenta(), 3);
        elegir(d.cmbEnUso(), 2);
        EXPECT_EQ(codigo(d.cmbEnVenta()), 2);
        EXPECT_FALSE(d.cmbEnVenta().isEnabled());
        elegir(d.cmbEnUso(), 1);
        EXPECT_TRUE(d.cmbEnVenta().isEnabled());
        EXPECT_EQ(codigo(d.cmbEnVenta()), 2);
        elegir(d.cmbEnUso(), 2);
        elegir(d.cmbEnUso(), 3);
        EXPECT_TRUE(d.cmbEnVenta().isEnabled());
        EXPECT_EQ(codigo(d.cmbEnVenta()), 2);
    });
}

TEST_F(FrmBusquedaTest, OkWithAFindingConditionClosesAndHandsItBack)
{
    abrir([&](frmBusqueda &d) {
        escribir(d, "tornillo");
        boton(d.btnOk()).click();
        EXPECT_FALSE(ventana(d).isLoaded());
    });
    const QString condicion = "( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)";
    EXPECT_EQ(dialogo->prmSQL, condicion);
    EXPECT_EQ(conexion->sentencias, QStringList{Base + " And " + condicion});
    EXPECT_EQ(conexion->tipos, QStringList{"2/4"});
    EXPECT_EQ(conexion->cierres, 1);
    const auto &punteros = toolkit().screen().pointerHistory();
    ASSERT_GE(punteros.size(), 2u);
    EXPECT_EQ(std::vector<int16_t>(punteros.end() - 2, punteros.end()), (std::vector<int16_t>{11, 0}));
    EXPECT_TRUE(toolkit().messages().empty());
}

// Nothing found, or a check the database rejects: message 863 titled 841,
// the dialog stays with the criteria as they were, and the next OK builds
// the condition again from what the controls hold then.
TEST_F(FrmBusquedaTest, NothingFoundKeepsTheDialogOpen)
{
    for (const auto respuesta : {ConexionGuionada::Respuesta::Nada, ConexionGuionada::Respuesta::Error}) {
        dialogo = std::make_unique<frmBusqueda>();
        dialogo->mrdoCBase = conexion;
        dialogo->mstrSQLValidar = Base;
        conexion->sentencias.clear();
        toolkit().clearMessages();
        abrir([&](frmBusqueda &d) {
            conexion->respuesta = respuesta;
            escribir(d, "O'Neil");
            elegir(d.cmbCB(), 2);
            d.btnOk().setFocus();
            boton(d.btnOk()).click();
            EXPECT_TRUE(ventana(d).isLoaded());
            EXPECT_EQ(d.prmSQL, "");
            EXPECT_EQ(d.txtTexto().text(), "ONeil");
            EXPECT_EQ(codigo(d.cmbCB()), 2);
            EXPECT_EQ(toolkit().focused(), &d.txtTexto());
            ASSERT_EQ(toolkit().messages().size(), 1u);
            EXPECT_EQ(toolkit().messages()[0].prompt, "texto 1863");
            EXPECT_EQ(toolkit().messages()[0].style, 64);
            EXPECT_EQ(toolkit().messages()[0].title, "texto 1841");
            EXPECT_EQ(toolkit().screen().mousePointer(), 0);

            conexion->respuesta = ConexionGuionada::Respuesta::Fila;
            caja(d.txtTexto()).type("Neil");
            elegir(d.cmbTipo(), 1);
            boton(d.btnOk()).click();
            EXPECT_FALSE(ventana(d).isLoaded());
        });
        EXPECT_EQ(conexion->sentencias.size(), 2);
        EXPECT_EQ(conexion->sentencias.last(),
                  Base + " And ( ArtNombre Like 'Neil%' And ArtEnUso = 1 And ArtEnVenta = 1) And Not Exists (Select "
                         "ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)");
        EXPECT_EQ(dialogo->prmSQL, "( ArtNombre Like 'Neil%' And ArtEnUso = 1 And ArtEnVenta = 1) And Not Exists "
                                   "(Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)");
    }
}

// A text of blanks needs no field nor kind of match and keeps its blanks; a
// real text without a field stops on the field's combo with its quotes gone.
TEST_F(FrmBusquedaTest, TextDecidesWhetherFieldAndMatchAreNeeded)
{
    abrir([&](frmBusqueda &d) {
        combo(d.cmbCampo()).setListIndex(-1);
        combo(d.cmbTipo()).setListIndex(-1);
        escribir(d, "'x'");
        boton(d.btnOk()).click();
        EXPECT_TRUE(ventana(d).isLoaded());
        EXPECT_EQ(d.txtTexto().text(), "x");
        EXPECT_EQ(toolkit().focused(), &d.cmbCampo());
        elegir(d.cmbCampo(), 3);
        boton(d.btnOk()).click();
        EXPECT_EQ(toolkit().focused(), &d.cmbTipo());
        EXPECT_TRUE(conexion->sentencias.isEmpty());

        combo(d.cmbCampo()).setListIndex(-1);
        d.txtTexto().setText("  ");
        boton(d.btnOk()).click();
        EXPECT_EQ(d.txtTexto().text(), "  ");
        EXPECT_FALSE(ventana(d).isLoaded());
    });
    EXPECT_EQ(dialogo->prmSQL, "ArtEnUso = 1 And ArtEnVenta = 1");
    EXPECT_EQ(conexion->sentencias, QStringList{Base + " And ArtEnUso = 1 And ArtEnVenta = 1"});
}

// Without a check statement every condition counts as finding, and the
// database is not asked.
TEST_F(FrmBusquedaTest, NoCheckStatementClosesAtOnce)
{
    dialogo->mstrSQLValidar.clear();
    abrir([&](frmBusqueda &d) {
        elegir(d.cmbEnUso(), 3);
        elegir(d.cmbEnVenta(), 3);
        boton(d.btnOk()).click();
    });
    EXPECT_EQ(dialogo->prmSQL, "True");
    EXPECT_TRUE(conexion->sentencias.isEmpty());
}

// Escape goes down in the window before any control; Cancel and the close
// box close too. None of them hands a condition back, even after an OK
// that found nothing.
TEST_F(FrmBusquedaTest, EveryOtherWayOutHandsBackNothing)
{
    frmBusqueda *d = nullptr;
    const std::vector<std::pair<const char *, std::function<void()>>> salidas{
        {"Escape in the combo", [&] { combo(d->cmbCampo()).press(27, 27); }},
        {"Escape in the text", [&] { d->txtTexto().setFocus(); caja(d->txtTexto()).press(27, 27); }},
        {"Escape on OK", [&] { d->btnOk().setFocus(); boton(d->btnOk()).press(27, 27); }},
        {"Cancel", [&] { boton(d->btnCancelar()).click(); }},
        {"close box", [] {}},
    };
    conexion->respuesta = ConexionGuionada::Respuesta::Nada;
    for (const auto &[nombre, salida] : salidas) {
        SCOPED_TRACE(nombre);
        dialogo = std::make_unique<frmBusqueda>();
        dialogo->mrdoCBase = conexion;
        dialogo->mstrSQLValidar = Base;
        d = dialogo.get();
        abrir([&](frmBusqueda &) {
            escribir(*d, "nada");
            boton(d->btnOk()).click();
            salida();
            EXPECT_EQ(ventana(*d).isLoaded(), std::string(nombre) == "close box");
        });
        EXPECT_EQ(dialogo->prmSQL, "");
    }
}

// Enter moves on as Tab: from the text to in use (not to OK), from a combo
// with an entry to the next control, but not from a combo without one
// (except the bar-code combo). A label click moves on from wherever the
// focus is; an access key goes to the label's control.
TEST_F(FrmBusquedaTest, EnterLabelsAndAccessKeysMoveTheFocus)
{
    abrir([&](frmBusqueda &d) {
        EXPECT_EQ(toolkit().focused(), &d.cmbCampo());
        combo(d.cmbCampo()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.cmbTipo());
        combo(d.cmbTipo()).setListIndex(-1);
        combo(d.cmbTipo()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.cmbTipo());
        escribir(d, "abc");
        caja(d.txtTexto()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.cmbEnUso());
        combo(d.cmbCB()).setListIndex(-1);
        d.cmbCB().setFocus();
        combo(d.cmbCB()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.btnOk());

        d.cmbEnVenta().setFocus();
        static_cast<ui::HeadlessLabel &>(d.lblCampo()).click();
        EXPECT_EQ(toolkit().focused(), &d.cmbCB());
        static_cast<ui::HeadlessLabel &>(d.lblCB()).click();
        EXPECT_EQ(toolkit().focused(), &d.cmbCB());

        ventana(d).pressAccessKey(u'V');
        EXPECT_EQ(toolkit().focused(), &d.cmbEnVenta());
        // The text is selected whole whenever it gets the focus.
        d.txtTexto().setFocus();
        EXPECT_EQ(d.txtTexto().selStart(), 0);
        EXPECT_EQ(d.txtTexto().selLength(), 3);
    });
}

} // namespace
