// The search dialog on Qt widgets, offscreen, driven from the keyboard while
// it runs modally: Enter moves on as Tab, the arrow keys choose in the flat
// combos (with the on-sale coupling) and Space presses the focused button.

#include "language/modlenguaje.h"
#include "platform/com/registration.h"
#include "platform/ui/qt/qt_form.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "search/frm_busqueda.h"

#include "scoped_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using search::frmBusqueda;

// The widget behind a control of the dialog.
template <typename Interface>
QWidget *widgetOf(Interface &window)
{
    return dynamic_cast<ui::QtWindow<Interface> &>(window).widget();
}

class FrmBusquedaQtTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(com::registerServer(vok::test::buildLibraryDir() + "/libvokhost.so"), com::S_OK);
        QString aplicacion = QStringLiteral("VOK04");
        QString modulo = QStringLiteral("vokArtBuscar");
        ASSERT_EQ(language::InicializarLenguaje(aplicacion, modulo), 1);
    }
    static void TearDownTestSuite() { language::LiberarLenguaje(); }

    void SetUp() override { ui::setToolkit(&toolkit); }
    void TearDown() override { ui::setToolkit(nullptr); }

    // Shows the dialog; the user's keys run inside its modal loop. A dialog
    // the user leaves open is closed after them, so the test never hangs.
    void abrir(frmBusqueda &d, std::function<void()> usuario)
    {
        QTimer::singleShot(0, [&d, usuario] {
            QApplication::setActiveWindow(widgetOf(d.ventana()));
            usuario();
            d.ventana().unload();
        });
        d.Show();
    }
    static QWidget *foco() { return QApplication::focusWidget(); }
    static void tecla(Qt::Key key) { QTest::keyClick(foco(), key); }

    ui::QtToolkit toolkit;
};

TEST_F(FrmBusquedaQtTest, KeyboardFromCriteriaToOk)
{
    frmBusqueda d;
    abrir(d, [&] {
        EXPECT_EQ(foco(), widgetOf(d.cmbCampo()));
        tecla(Qt::Key_Return);
        EXPECT_EQ(foco(), widgetOf(d.cmbTipo()));
        tecla(Qt::Key_Return);
        ASSERT_EQ(foco(), widgetOf(d.txtTexto()));
        QTest::keyClicks(foco(), "O'Neil");
        tecla(Qt::Key_Return);
        // Enter in the text goes on to in use, not to OK.
        ASSERT_EQ(foco(), widgetOf(d.cmbEnUso()));
        tecla(Qt::Key_Down);
        tecla(Qt::Key_Return);
        // On sale is locked, so the focus skips it.
        ASSERT_EQ(foco(), widgetOf(d.cmbCB()));
        tecla(Qt::Key_Return);
        ASSERT_EQ(foco(), widgetOf(d.btnOk()));
        tecla(Qt::Key_Space);
    });
    EXPECT_EQ(d.txtTexto().text(), "ONeil");
    EXPECT_EQ(d.prmSQL, "( ArtNombre Like '%ONeil%' And ArtEnUso = 0 And ArtEnVenta = 0)");
}

} // namespace
