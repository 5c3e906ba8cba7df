#include "control_fixture.h"
#include "error_number.h"

#include "language/modlenguaje.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

using PropertiesTest = ControlFixture;

TEST_F(PropertiesTest, FreshControl)
{
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(control->Codigo(), "");
    EXPECT_EQ(control->Nombre(), "");
    EXPECT_EQ(control->Variedad(), 0);
    EXPECT_FALSE(control->IncluirVariedades());
    EXPECT_TRUE(control->PedirIncluirVariedad());
    EXPECT_EQ(control->FormatoLista(), 255);
    EXPECT_EQ(control->FormatDisplay(), 0);
    EXPECT_EQ(control->NombreADesplegar(), and_Nombre);
    EXPECT_FALSE(control->OmitirVariedad());
    EXPECT_EQ(control->CBFija(), "");
    EXPECT_EQ(control->CBVariable(), "");
    EXPECT_FALSE(check().isVisible());
    EXPECT_EQ(check().value(), 0);
    EXPECT_EQ(check().width(), 700);
    EXPECT_EQ(check().height(), 195);
    EXPECT_EQ(check().caption(), "c/Var");
    EXPECT_EQ(vokTArticuloTestAccess::listaTipoPrecio(*control), -1);
    EXPECT_FALSE(vokTArticuloTestAccess::conVariedades(*control));
    EXPECT_TRUE(log->events.isEmpty());
}

TEST_F(PropertiesTest, ChangingTheTextAbandonsTheHeldArticleAfterTheEvent)
{
    vokTArticuloTestAccess::hold(*control, 1234);
    EXPECT_EQ(control->TipoCombo(), 1) << "TipoCombo is EsCombo under its old name";
    control->MostrarVariedad(3);
    control->setIncluirVariedades(true);
    control->setText("A1");

    EXPECT_EQ(log->events, QStringList({"Change ID=1234"}));
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(control->Codigo(), "");
    EXPECT_EQ(control->Nombre(), "");
    EXPECT_EQ(control->Variedad(), 0);
    EXPECT_EQ(control->EnUso(), 0);
    EXPECT_EQ(control->EnVenta(), 0);
    EXPECT_EQ(control->EsCombo(), 0);
    EXPECT_EQ(control->Decimales(), 0);
    // Left as they were by the clearing.
    EXPECT_EQ(control->AdmitePrecioQMayor(), 1);
    EXPECT_EQ(control->PideSerie(), 1);
    EXPECT_TRUE(control->CB());
    EXPECT_EQ(control->CBCantidad(), 1.5);
    EXPECT_EQ(control->CBFija(), "2001234");
    EXPECT_EQ(control->CBVariable(), "00150");
    EXPECT_TRUE(vokTArticuloTestAccess::conVariedades(*control));
    // The check box is hidden and unticked again.
    EXPECT_FALSE(check().isVisible());
    EXPECT_FALSE(control->IncluirVariedades());
}

TEST_F(PropertiesTest, TypingClearsOnlyAPositiveId)
{
    for (int32_t id : {0, -5}) {
        control->setID(id);
        text().type("x");
        EXPECT_EQ(control->ID(), id);
    }
    vokTArticuloTestAccess::hold(*control, 9);
    text().type("y");
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(log->events, QStringList({"KeyDown 88 0", "KeyPress 120", "Change ID=0", "KeyDown 88 0", "KeyPress 120",
                                        "Change ID=-5", "KeyDown 89 0", "KeyPress 121", "Change ID=9"}));
}

TEST_F(PropertiesTest, IncluirVariedadesFollowsTheVisibleBoxOnly)
{
    control->setIncluirVariedades(true);
    EXPECT_FALSE(control->IncluirVariedades()) << "hidden box ignores the assignment";
    control->MostrarVariedad(2);
    control->setIncluirVariedades(true);
    EXPECT_TRUE(control->IncluirVariedades());
    check().setValue(2);
    EXPECT_FALSE(control->IncluirVariedades()) << "greyed is not ticked";
    control->setIncluirVariedades(false);
    EXPECT_EQ(check().value(), 0);
}

TEST_F(PropertiesTest, PersistedPropertiesTellTheContainer)
{
    const std::pair<const char *, std::function<void(vokTArticulo &)>> setters[] = {
        {"Appearance", [](vokTArticulo &c) { c.setAppearance(0); }},
        {"BackColor", [](vokTArticulo &c) { c.setBackColor(0xFF); }},
        {"Enabled", [](vokTArticulo &c) { c.setEnabled(false); }},
        {"Font", [](vokTArticulo &c) { c.setFont(ui::Font{"Arial", 12}); }},
        {"ForeColor", [](vokTArticulo &c) { c.setForeColor(0xFF00); }},
        {"FormatCodigo", [](vokTArticulo &c) { c.setFormatCodigo("000000"); }},
        {"FormatDisplay", [](vokTArticulo &c) { c.setFormatDisplay(afd_Codigo); }},
        {"MaxLength", [](vokTArticulo &c) { c.setMaxLength(20); }},
        {"NombreADesplegar", [](vokTArticulo &c) { c.setNombreADesplegar(and_NombreCorto); }},
        {"OmitirVariedad", [](vokTArticulo &c) { c.setOmitirVariedad(true); }},
        {"EnUsoObligatorio", [](vokTArticulo &c) { c.setEnUsoObligatorio(1); }},
        {"EnVentaObligatorio", [](vokTArticulo &c) { c.setEnVentaObligatorio(1); }},
        {"PedirIncluirVariedad", [](vokTArticulo &c) { c.setPedirIncluirVariedad(false); }},
        {"BackgroundColor", [](vokTArticulo &c) { c.setBackgroundColor(0xFF0000); }},
    };
    for (const auto &[name, set] : setters) {
        vokTArticulo fresh;
        auto &container = static_cast<ui::HeadlessUserControl &>(fresh.userControl());
        set(fresh);
        EXPECT_EQ(container.changedProperties(), std::vector<QString>{name});
    }

    vokTArticulo fresh;
    fresh.setID(1);
    fresh.setVariedad(1);
    fresh.setIdioma(2);
    fresh.setEmpresa(3);
    fresh.setListaPrecios(4);
    fresh.setFormatoLista(1);
    fresh.setText("x");
    fresh.setIncluirVariedades(true);
    EXPECT_TRUE(static_cast<ui::HeadlessUserControl &>(fresh.userControl()).changedProperties().empty());
}

TEST_F(PropertiesTest, AppearanceFontAndColoursReachTheConstituentControls)
{
    control->setAppearance(0);
    EXPECT_EQ(text().appearance(), 0);
    control->setBackColor(0x00C0FFFF);
    EXPECT_EQ(text().backColor(), 0x00C0FFFFu);
    control->setBackgroundColor(0x00FFEEDD);
    EXPECT_EQ(check().backColor(), 0x00FFEEDDu);
    control->setMaxLength(13);
    EXPECT_EQ(text().maxLength(), 13);
}

TEST_F(PropertiesTest, EnabledRefreshesOnlyInRunMode)
{
    control->setEnabled(false);
    EXPECT_FALSE(control->Enabled());
    EXPECT_FALSE(surface().isEnabled());
    EXPECT_EQ(surface().refreshCount(), 1);
    surface().setAmbientUserMode(false);
    control->setEnabled(true);
    EXPECT_TRUE(text().isEnabled());
    EXPECT_EQ(surface().refreshCount(), 1);
}

TEST_F(PropertiesTest, ConnectWithoutLanguageComponentRaises9000AndKeepsTheConnection)
{
    writeSettings("[VOK04]\nIdioma=9\n");
    auto connection = std::shared_ptr<rdo::rdoConnection>(reinterpret_cast<rdo::rdoConnection *>(0x1), [](auto *) {});
    const vb::Error error = vok::test::errorRaisedBy([&] { control->setConnect(connection); });
    EXPECT_EQ(error.number(), 9000);
    EXPECT_EQ(error.source(), "ObjetoLenguaje");
    EXPECT_EQ(error.description(), "No se encontró el objeto de lenguaje.");
    EXPECT_EQ(control->connection(), connection);
    EXPECT_EQ(toolkit().messages().size(), 1u);
}

TEST_F(PropertiesTest, EveryConnectCountsAUserAndEveryTerminationGivesOneUp)
{
    control->setConnect(nullptr);
    control->setConnect(nullptr);
    EXPECT_EQ(language::usuariosLenguaje(), 2);
    auto second = std::make_unique<vokTArticulo>();
    second->setConnect(nullptr);
    EXPECT_EQ(language::usuariosLenguaje(), 3);
    EXPECT_EQ(second->resloadVieja(3), "Incluir Variedades");

    second.reset();
    EXPECT_EQ(language::usuariosLenguaje(), 2);
    EXPECT_EQ(language::TextoIdioma(1), "Lista de Artículos") << "texts still come from the component";
    control.reset();
    EXPECT_EQ(language::usuariosLenguaje(), 1);
    language::LiberarLenguaje();
    EXPECT_EQ(language::objetoLenguaje(), nullptr);
}

TEST_F(PropertiesTest, TwoControlsShareTheComponentUntilTheLastTerminates)
{
    auto second = std::make_unique<vokTArticulo>();
    control->setConnect(nullptr);
    second->setConnect(nullptr);
    const auto shared = language::objetoLenguaje();
    second.reset();
    EXPECT_EQ(language::objetoLenguaje(), shared);
    control.reset();
    EXPECT_EQ(language::objetoLenguaje(), nullptr);
}

TEST_F(PropertiesTest, ResloadViejaFollowsIdioma)
{
    control->setIdioma(2);
    EXPECT_EQ(control->resloadVieja(1), "Items List");
    control->setIdioma(1);
    EXPECT_EQ(control->resloadVieja(1), "Lista de Artículos");
    EXPECT_EQ(control->resloadVieja(5), "");
}

} // namespace
