// The control's properties: what a new control holds, which changes the
// container hears of, and what abandoning an article clears and keeps.

#include "control_harness.h"
#include "row_connection.h"
#include "named_rows.h"
#include "error_number.h"

#include "language/modlenguaje.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

using vok::test::ControlFixture;
using vok::test::PrintTo;

QString n(int64_t value)
{
    return QString::number(value);
}

using PropertiesTest = ControlFixture;

struct Setter {
    const char *name;
    std::function<void(vokTArticulo &)> set;
    bool stored = true;
};

class PropertySet : public ControlFixture, public ::testing::WithParamInterface<Setter> {};

// A stored property tells the container it changed, so that the form is
// saved; a run-time one does not.
TEST_P(PropertySet, TellsTheContainerWhenStored)
{
    GetParam().set(*control);
    EXPECT_EQ(surface().changedProperties(),
              GetParam().stored ? std::vector<QString>{GetParam().name} : std::vector<QString>{});
}

INSTANTIATE_TEST_SUITE_P(
    Properties, PropertySet,
    ::testing::Values(Setter{"Appearance", [](vokTArticulo &c) { c.setAppearance(0); }},
                      Setter{"BackColor", [](vokTArticulo &c) { c.setBackColor(0xFF); }},
                      Setter{"Enabled", [](vokTArticulo &c) { c.setEnabled(false); }},
                      Setter{"Font", [](vokTArticulo &c) { c.setFont(ui::Font{"Arial", 12}); }},
                      Setter{"ForeColor", [](vokTArticulo &c) { c.setForeColor(0xFF00); }},
                      Setter{"FormatCodigo", [](vokTArticulo &c) { c.setFormatCodigo("000000"); }},
                      Setter{"FormatDisplay", [](vokTArticulo &c) { c.setFormatDisplay(afd_Codigo); }},
                      Setter{"MaxLength", [](vokTArticulo &c) { c.setMaxLength(20); }},
                      Setter{"NombreADesplegar", [](vokTArticulo &c) { c.setNombreADesplegar(and_NombreCorto); }},
                      Setter{"OmitirVariedad", [](vokTArticulo &c) { c.setOmitirVariedad(true); }},
                      Setter{"EnUsoObligatorio", [](vokTArticulo &c) { c.setEnUsoObligatorio(1); }},
                      Setter{"EnVentaObligatorio", [](vokTArticulo &c) { c.setEnVentaObligatorio(1); }},
                      Setter{"PedirIncluirVariedad", [](vokTArticulo &c) { c.setPedirIncluirVariedad(false); }},
                      Setter{"BackgroundColor", [](vokTArticulo &c) { c.setBackgroundColor(0xFF0000); }},
                      Setter{"RunTime", [](vokTArticulo &c) {
                                 c.setID(1), c.setVariedad(1), c.setIdioma(2), c.setEmpresa(3), c.setListaPrecios(4);
                                 c.setFormatoLista(1), c.setText("x"), c.setIncluirVariedades(true);
                             }, false}),
    vok::test::byName);

// A chosen bar-code row, then a change of the text: the event still sees the
// article, which is then cleared; what the row said beside it stays.
TEST_F(PropertiesTest, ChangingTheTextAbandonsTheArticleAndKeepsWhatTheRowSaid)
{
    auto row = vok::test::filaDeArticulo();
    row[0] = int32_t{2};
    row[1] = QStringLiteral("2001234%");
    row[2] = 1.5;
    row[6] = int32_t{3};
    row[9] = int32_t{1};
    scriptList(row);
    control->setConnect(nullptr);
    control->setFormatoLista(0);
    control->setText("200123400150");
    int16_t enter = 13;
    text().onKeyPress(enter);
    ASSERT_EQ(control->ID(), 57);
    EXPECT_EQ(control->TipoCombo(), 1) << "TipoCombo is EsCombo under its old name";
    log->events.clear();

    control->setText("A1");
    EXPECT_EQ(log->events, QStringList({"Change ID=57"}));
    const std::pair<const char *, QString> cleared[] = {
        {"ID", n(control->ID())},           {"Variedad", n(control->Variedad())}, {"Codigo", control->Codigo()},
        {"Nombre", control->Nombre()},      {"EnUso", n(control->EnUso())},       {"EnVenta", n(control->EnVenta())},
        {"EsCombo", n(control->EsCombo())}, {"Decimales", n(control->Decimales())}};
    for (const auto &[name, value] : cleared)
        EXPECT_TRUE(value == "0" || value.isEmpty()) << name << " " << value.toStdString();
    EXPECT_EQ(std::tuple(control->AdmitePrecioQMayor(), control->PideSerie(), control->CB(), control->CBCantidad(),
                         control->CBFija(), control->CBVariable(), check().isVisible()),
              std::tuple(1, 1, true, 1.5, QString("2001234"), QString("00150"), false));
}

TEST_F(PropertiesTest, TypingClearsOnlyAPositiveId)
{
    for (int32_t id : {0, -5, 9}) {
        control->setID(id);
        text().type("x");
        EXPECT_EQ(control->ID(), id > 0 ? 0 : id);
    }
    EXPECT_EQ(log->events, QStringList({"KeyDown 88 0", "KeyPress 120", "Change ID=0", "KeyDown 88 0", "KeyPress 120",
                                        "Change ID=-5", "KeyDown 88 0", "KeyPress 120", "Change ID=9"}));
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
}

TEST_F(PropertiesTest, EnabledRefreshesOnlyInRunMode)
{
    control->setEnabled(false);
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
    const auto connection = std::make_shared<vok::test::RowConnection>();
    const vb::Error error = vok::test::errorRaisedBy([&] { control->setConnect(connection); });
    EXPECT_EQ(n(error.number()) + ' ' + error.source() + ' ' + error.description(),
              "9000 ObjetoLenguaje No se encontró el objeto de lenguaje.");
    EXPECT_EQ(control->connection().get(), connection.get());
}

// Each control counts as a user of the shared language component while it lives.
TEST_F(PropertiesTest, EveryConnectCountsAUserAndEveryTerminationGivesOneUp)
{
    control->setConnect(nullptr);
    auto second = std::make_unique<vokTArticulo>();
    second->setConnect(nullptr);
    EXPECT_EQ(language::usuariosLenguaje(), 2);
    EXPECT_EQ(second->resloadVieja(3), "Incluir Variedades");
    second.reset();
    control.reset();
    EXPECT_EQ(language::usuariosLenguaje(), 0);
}

} // namespace
