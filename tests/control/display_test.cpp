// The text box's text for a chosen article: code, name or both, the code
// through the FormatCodigo mask.

#include "control_harness.h"
#include "named_rows.h"

#include <gtest/gtest.h>

namespace {

using vok::test::ControlFixture;
using vok::test::PrintTo;

struct Display {
    const char *name;
    int32_t formatDisplay;
    const char *formatCodigo;
    const char *codigo;
    const char *expected;
};

class ChosenArticleText : public ControlFixture, public ::testing::WithParamInterface<Display> {};

// The text is written while ID is still 0: the change it raises sees no
// article and clears nothing.
TEST_P(ChosenArticleText, FollowsFormatDisplay)
{
    const Display &d = GetParam();
    auto row = vok::test::filaDeArticulo();
    row[13] = QString::fromLatin1(d.codigo);
    scriptList(row);
    control->setConnect(nullptr);
    control->setFormatoLista(0);
    control->setPedirIncluirVariedad(false);
    control->setFormatDisplay(d.formatDisplay);
    control->setFormatCodigo(d.formatCodigo);
    control->setText("typed");
    log->events.clear();
    int16_t enter = 13;
    text().onKeyPress(enter);
    EXPECT_EQ(control->Text(), d.expected);
    EXPECT_EQ(control->ID(), 57);
    EXPECT_EQ(log->events.filter("Change"), QStringList(QString(d.expected) == "typed" ? QStringList{} : QStringList{"Change ID=0"}));
}

INSTANTIATE_TEST_SUITE_P(
    Display, ChosenArticleText,
    ::testing::Values(Display{"CodigoNombre", afd_CodigoNombre, "", "A12", "A12 TORNILLO"},
                      Display{"NombreCodigo", afd_NombreCodigo, "", "A12", "TORNILLO A12"},
                      Display{"Codigo", afd_Codigo, "", "A12", "A12"},
                      Display{"Nombre", afd_Nombre, "", "A12", "TORNILLO"},
                      Display{"MaskedNumber", afd_CodigoNombre, "000000", "123", "000123 TORNILLO"},
                      Display{"MaskLeavesText", afd_Codigo, "000000", "A12", "A12"},
                      Display{"MaskLeavesLongerNumber", afd_NombreCodigo, "000000", "1234567", "TORNILLO 1234567"},
                      Display{"NoDisplay", 0, "", "A12", "typed"},
                      Display{"UnknownDisplay", 5, "", "A12", "typed"}),
    vok::test::byName);

} // namespace
