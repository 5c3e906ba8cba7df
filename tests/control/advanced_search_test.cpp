// The control's advanced search on the catalogue: the dialog opened with the
// control's presets and check statement, and the search that follows an OK.

#include "catalogue_fixture.h"

#include "search/frm_busqueda.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using search::frmBusqueda;

class AdvancedSearchTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        connection = connectRecording();
    }

    // F4 with the user's actions on the dialog.
    void buscar(std::function<void(frmBusqueda &)> usuario)
    {
        toolkit().queueModalAnswer([usuario](ui::Form &ventana) {
            frmBusqueda *dialogo = frmBusqueda::deVentana(ventana);
            ASSERT_NE(dialogo, nullptr);
            usuario(*dialogo);
        });
        vokTArticuloTestAccess::busquedaAvanzada(*control);
    }
    static void escribir(frmBusqueda &d, const QString &texto)
    {
        d.txtTexto().setFocus();
        static_cast<ui::HeadlessTextBox &>(d.txtTexto()).type(texto);
    }
    static void aceptar(frmBusqueda &d) { static_cast<ui::HeadlessButton &>(d.btnOk()).click(); }
    static int32_t codigo(const ui::ComboBox &c) { return c.itemData(c.listIndex()); }

    std::shared_ptr<vok::test::RecordingConnection> connection;
};

// The check is the control's base statement with its company tail, narrowed
// by the condition; a condition that finds articles goes to the list.
TEST_F(AdvancedSearchTest, OkChecksThenSearchesWithTheCondition)
{
    const QString tail = QStringLiteral(" And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)");
    buscar([](frmBusqueda &d) {
        escribir(d, "tornillo");
        aceptar(d);
    });
    ASSERT_FALSE(connection->statements.isEmpty());
    EXPECT_EQ(connection->statements.first(),
              "Select Top 1 ArtID From Articulo Where ArtID > 0 " + tail +
                  " And ( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)");

    const int64_t id = firstId(LoadableArticle + " And ArtID Not In (Select AVaArticulo From ArticuloVariedad)");
    const QString nombre = firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(id));
    const auto antes = connection->statements.size();
    const size_t listas = listsShown();
    toolkit().queueItemListAnswer(0);
    buscar([&](frmBusqueda &d) {
        escribir(d, nombre);
        static_cast<ui::HeadlessComboBox &>(d.cmbTipo()).setListIndex(d.cmbTipo().findItemData(2));
        aceptar(d);
    });
    ASSERT_EQ(listsShown(), listas + 1);
    EXPECT_TRUE(connection->statements.at(antes)
                    .endsWith(" And ( ArtNombre = '" + nombre + "' And ArtEnUso = 1 And ArtEnVenta = 1)"));
    EXPECT_FALSE(connection->statements
                     .filter("Where ( ArtNombre = '" + nombre + "' And ArtEnUso = 1 And ArtEnVenta = 1) And ArtEmpresa = 1")
                     .isEmpty());
    EXPECT_EQ(control->ID(), id);
    EXPECT_EQ(control->Nombre(), nombre);
}

// The control's obligatory filters lock the dialog's; each opening is a new
// dialog, so nothing of an earlier one remains.
TEST_F(AdvancedSearchTest, EachOpeningStartsFromTheControlsPresets)
{
    control->setEnUsoObligatorio(1);
    control->setEnVentaObligatorio(2);
    buscar([](frmBusqueda &d) {
        EXPECT_EQ(codigo(d.cmbEnUso()), 1);
        EXPECT_FALSE(d.cmbEnUso().isEnabled());
        EXPECT_EQ(codigo(d.cmbEnVenta()), 1);
        EXPECT_FALSE(d.cmbEnVenta().isEnabled());
        static_cast<ui::HeadlessComboBox &>(d.cmbCampo()).setListIndex(10);
        escribir(d, "algo");
    });
    control->setEnUsoObligatorio(0);
    control->setEnVentaObligatorio(0);
    buscar([](frmBusqueda &d) {
        EXPECT_EQ(codigo(d.cmbCampo()), 0);
        EXPECT_EQ(d.txtTexto().text(), "");
        EXPECT_EQ(codigo(d.cmbEnUso()), 1);
        EXPECT_TRUE(d.cmbEnUso().isEnabled());
        EXPECT_TRUE(d.cmbEnVenta().isEnabled());
    });
}

// Escape, Cancel, the close box and a condition that finds nothing leave the
// article, the text and the host's events as they were.
TEST_F(AdvancedSearchTest, NoConditionLeavesTheControlAlone)
{
    vokTArticuloTestAccess::hold(*control, 77);
    const std::vector<std::function<void(frmBusqueda &)>> salidas{
        [](frmBusqueda &d) { static_cast<ui::HeadlessComboBox &>(d.cmbTipo()).press(27, 27); },
        [](frmBusqueda &d) { static_cast<ui::HeadlessButton &>(d.btnCancelar()).click(); },
        [](frmBusqueda &d) {
            escribir(d, "zzqqxx");
            aceptar(d);
        },
    };
    for (const auto &salida : salidas) {
        log->events.clear();
        buscar([&](frmBusqueda &d) {
            escribir(d, "algo");
            salida(d);
        });
        EXPECT_EQ(control->ID(), 77);
        EXPECT_EQ(control->Text(), "");
        EXPECT_TRUE(log->events.isEmpty()) << log->events.join("; ").toStdString();
    }
    EXPECT_EQ(listsShown(), 0u);
    EXPECT_EQ(pumpsRun(), 3) << "once after each dialog";
    ASSERT_EQ(toolkit().messages().size(), 1u);
    EXPECT_EQ(toolkit().messages()[0].prompt, "No se encontraron artículos que cumplan la condición.");
    EXPECT_EQ(toolkit().messages()[0].title, "Búsqueda Avanzada de Artículos");
}

// A search that fails after the check (here the units table is gone) ends
// without a message and without the Error event.
TEST_F(AdvancedSearchTest, FailingSearchEndsSilently)
{
    control->setConnect(rdo::rdoConnection::open(
        "sqlite:" + QString::fromStdString(editedCopy("sin_unidades.db", "Drop Table UnidadesMedidas;").string())));
    buscar([](frmBusqueda &d) { aceptar(d); });
    EXPECT_EQ(control->ID(), 0);
    EXPECT_TRUE(toolkit().messages().empty());
    EXPECT_TRUE(log->events.filter("Error").isEmpty()) << log->events.join("; ").toStdString();
}

} // namespace
