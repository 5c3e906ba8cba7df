// The advanced search dialog on the headless toolkit: a script answers each
// opening as the user would, and a scripted connection answers the check.

#include "language_fixture.h"
#include "row_connection.h"

#include "language/modlenguaje.h"
#include "platform/vb/error.h"
#include "search/frm_busqueda.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>

namespace {

using search::frmBusqueda;
using vok::test::RowConnection;

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
        conexion = std::make_shared<RowConnection>();
        nuevoDialogo();
    }
    void nuevoDialogo()
    {
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

    std::shared_ptr<RowConnection> conexion;
    std::unique_ptr<frmBusqueda> dialogo;
};

// The user's texts replace the design captions on load; the window leaves
// its owner while it shows, is centred with a third of the free height above
// it, and tabs through the criteria in their order.
TEST_F(FrmBusquedaTest, LoadsWithTheUsersTextsCentredAndInTabOrder)
{
    frmBusqueda &d = *dialogo;
    EXPECT_EQ(d.ventana().caption(), "Búsqueda Avanzada");
    toolkit().setWindowOwner(d.ventana().hWnd(), 4242);
    abrir([&](frmBusqueda &) {
        EXPECT_EQ(toolkit().windowOwner(d.ventana().hWnd()), 0);
        EXPECT_EQ(d.ventana().caption(), "texto 1841");
        EXPECT_EQ(d.lblCampo().caption(), "texto 1842");
        EXPECT_EQ(d.lblEnUso().caption(), "En &uso:") << "no text of the user's for it";
        EXPECT_EQ(d.btnCancelar().caption(), "texto 1846");
        EXPECT_EQ(d.txtTexto().text(), "");
        std::vector<ui::Window *> orden;
        ui::Window *w = toolkit().focused();
        for (int i = 0; i < 8; ++i, w = ventana(d).nextInTabOrder(w))
            orden.push_back(w);
        EXPECT_EQ(orden, (std::vector<ui::Window *>{&d.cmbCampo(), &d.cmbTipo(), &d.txtTexto(), &d.cmbEnUso(),
                                                     &d.cmbEnVenta(), &d.cmbCB(), &d.btnOk(), &d.btnCancelar()}));
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
    EXPECT_EQ(conexion->statements, QStringList{Base + " And " + condicion});
    EXPECT_EQ(conexion->types, QStringList{"2/4"});
    EXPECT_EQ(conexion->closes, 1);
    EXPECT_EQ(toolkit().screen().mousePointer(), 0);
    EXPECT_TRUE(toolkit().messages().empty());
}

// Nothing found, or a check the database rejects: message 863 titled 841,
// the dialog stays with the criteria as they were, and the next OK builds
// the condition again from what the controls hold then.
TEST_F(FrmBusquedaTest, NothingFoundKeepsTheDialogOpen)
{
    for (const bool rechazada : {false, true}) {
        SCOPED_TRACE(rechazada ? "rejected" : "no row");
        nuevoDialogo();
        conexion->statements.clear();
        toolkit().clearMessages();
        abrir([&](frmBusqueda &d) {
            conexion->row.reset();
            if (rechazada)
                conexion->failure = vb::Error(1, QStringLiteral("no such column: ArtNada"), QStringLiteral("SQLite"));
            escribir(d, "O'Neil");
            elegir(d.cmbCB(), 2);
            d.btnOk().setFocus();
            boton(d.btnOk()).click();
            EXPECT_TRUE(ventana(d).isLoaded());
            EXPECT_EQ(d.prmSQL, "");
            EXPECT_EQ(d.txtTexto().text(), "ONeil");
            EXPECT_EQ(toolkit().focused(), &d.txtTexto());
            ASSERT_EQ(toolkit().messages().size(), 1u);
            EXPECT_EQ(toolkit().messages()[0].prompt, "texto 1863");
            EXPECT_EQ(toolkit().messages()[0].style, 64);
            EXPECT_EQ(toolkit().messages()[0].title, "texto 1841");
            EXPECT_EQ(toolkit().screen().mousePointer(), 0);

            conexion->row = vok::test::Row{};
            conexion->failure.reset();
            caja(d.txtTexto()).type("Neil");
            elegir(d.cmbTipo(), 1);
            boton(d.btnOk()).click();
            EXPECT_FALSE(ventana(d).isLoaded());
        });
        const QString condicion = "( ArtNombre Like 'Neil%' And ArtEnUso = 1 And ArtEnVenta = 1) And Not Exists "
                                  "(Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)";
        EXPECT_EQ(conexion->statements.size(), 2);
        EXPECT_EQ(conexion->statements.last(), Base + " And " + condicion);
        EXPECT_EQ(dialogo->prmSQL, condicion);
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
        EXPECT_TRUE(conexion->statements.isEmpty());

        combo(d.cmbCampo()).setListIndex(-1);
        d.txtTexto().setText("  ");
        boton(d.btnOk()).click();
        EXPECT_EQ(d.txtTexto().text(), "  ");
        EXPECT_FALSE(ventana(d).isLoaded());
    });
    EXPECT_EQ(dialogo->prmSQL, "ArtEnUso = 1 And ArtEnVenta = 1");
    EXPECT_EQ(conexion->statements, QStringList{Base + " And ArtEnUso = 1 And ArtEnVenta = 1"});
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
    EXPECT_TRUE(conexion->statements.isEmpty());
}

// Escape goes down in the window before any control; Cancel and the close
// box close too. None of them hands a condition back, even after an OK
// that found nothing.
TEST_F(FrmBusquedaTest, EveryOtherWayOutHandsBackNothing)
{
    frmBusqueda *d = nullptr;
    const std::vector<std::pair<const char *, std::function<void()>>> salidas{
        {"Escape in the combo", [&] { combo(d->cmbCampo()).press(27, 27); }},
        {"Escape on OK", [&] { d->btnOk().setFocus(); boton(d->btnOk()).press(27, 27); }},
        {"Cancel", [&] { boton(d->btnCancelar()).click(); }},
        {"close box", [] {}},
    };
    conexion->row.reset();
    for (const auto &[nombre, salida] : salidas) {
        SCOPED_TRACE(nombre);
        nuevoDialogo();
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

// Enter does not move on from a combo without an entry, except from the
// bar-code combo. A label click moves on from wherever the focus is; an
// access key goes to the label's control; the text is selected whole
// whenever it gets the focus.
TEST_F(FrmBusquedaTest, EnterLabelsAndAccessKeysMoveTheFocus)
{
    abrir([&](frmBusqueda &d) {
        combo(d.cmbTipo()).setListIndex(-1);
        d.cmbTipo().setFocus();
        combo(d.cmbTipo()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.cmbTipo());
        combo(d.cmbCB()).setListIndex(-1);
        d.cmbCB().setFocus();
        combo(d.cmbCB()).press(13, 13);
        EXPECT_EQ(toolkit().focused(), &d.btnOk());

        d.cmbEnVenta().setFocus();
        static_cast<ui::HeadlessLabel &>(d.lblCampo()).click();
        EXPECT_EQ(toolkit().focused(), &d.cmbCB());
        ventana(d).pressAccessKey(u'V');
        EXPECT_EQ(toolkit().focused(), &d.cmbEnVenta());
        escribir(d, "abc");
        d.cmbCB().setFocus();
        d.txtTexto().setFocus();
        EXPECT_EQ(d.txtTexto().selStart(), 0);
        EXPECT_EQ(d.txtTexto().selLength(), 3);
    });
}

} // namespace
