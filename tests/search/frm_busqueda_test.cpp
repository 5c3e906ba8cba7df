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

    // The window is closed as by its close box if the user leaves it open.
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

// The window leaves its owner while it shows.
TEST_F(FrmBusquedaTest, LoadsWithTheUsersTexts)
{
    frmBusqueda &d = *dialogo;
    EXPECT_EQ(d.ventana().caption(), "Búsqueda Avanzada");
    toolkit().setWindowOwner(d.ventana().hWnd(), 4242);
    abrir([&](frmBusqueda &) {
        EXPECT_EQ(toolkit().windowOwner(d.ventana().hWnd()), 0);
        EXPECT_EQ(d.ventana().caption(), "texto 1841");
        EXPECT_EQ(d.lblEnUso().caption(), "En &uso:") << "no text of the user's for it";
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
        EXPECT_EQ(entradas(d.cmbCB()), "1=texto 1869,2=texto 1870,3=texto 1868");
        EXPECT_EQ(QList({codigo(d.cmbCampo()), codigo(d.cmbTipo()), codigo(d.cmbCB())}), QList({0, 3, 3}));
    });
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
    // In use preset to 2 couples on sale before on sale takes its own preset.
    for (const Caso &c : {Caso{0, 0, 1, true, 1, true}, Caso{1, 0, 1, false, 1, true}, Caso{0, 1, 1, true, 1, false},
                          Caso{3, 3, 3, true, 3, true}, Caso{2, 2, 2, false, 2, false}, Caso{2, 0, 2, false, 1, true}}) {
        SCOPED_TRACE(testing::Message() << int(c.enUso) << "/" << int(c.enVenta));
        dialogo = std::make_unique<frmBusqueda>();
        dialogo->mbytEnUso = c.enUso;
        dialogo->mbytEnVenta = c.enVenta;
        abrir([&](frmBusqueda &d) {
            EXPECT_EQ(std::tuple(codigo(d.cmbEnUso()), d.cmbEnUso().isEnabled(), codigo(d.cmbEnVenta()),
                                 d.cmbEnVenta().isEnabled()),
                      std::tuple(c.codigoUso, c.usoLibre, c.codigoVenta, c.ventaLibre));
        });
    }
}

TEST_F(FrmBusquedaTest, NotInUseForcesNotOnSaleUntilInUseChangesAgain)
{
    abrir([](frmBusqueda &d) {
        const auto enVenta = [&] { return std::pair(codigo(d.cmbEnVenta()), d.cmbEnVenta().isEnabled()); };
        elegir(d.cmbEnVenta(), 3);
        elegir(d.cmbEnUso(), 2);
        EXPECT_EQ(enVenta(), std::pair(2, false));
        elegir(d.cmbEnUso(), 1);
        EXPECT_EQ(enVenta(), std::pair(2, true));
        elegir(d.cmbEnUso(), 2);
        elegir(d.cmbEnUso(), 3);
        EXPECT_EQ(enVenta(), std::pair(2, true));
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
    EXPECT_TRUE(toolkit().messages().empty());
}

// Nothing found, or a check the database rejects: the dialog stays, and the
// next OK builds the condition again from what the controls hold then.
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
            const auto &m = toolkit().messages()[0];
            EXPECT_EQ(m.prompt + m.title + QString::number(m.style), "texto 1863texto 184164");

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
        EXPECT_EQ(dialogo->prmSQL, condicion);
    }
}

// A text of blanks needs no field nor kind of match.
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

// Escape goes to the window before any control.
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

// Enter stays on a combo without an entry, except the bar-code one.
TEST_F(FrmBusquedaTest, EnterMovesOnFromAComboWithAnEntryOrTheBarCodeOne)
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
    });
}

} // namespace
