#include "control_fixture.h"

#include <gtest/gtest.h>

namespace {

using DisplayTest = ControlFixture;

TEST_F(DisplayTest, TextByFormatDisplayAndCodeMask)
{
    const struct {
        int32_t formatDisplay;
        const char *formatCodigo;
        const char *codigo;
        const char *expected;
    } cases[] = {
        {afd_CodigoNombre, "", "A12", "A12 TORNILLO"},
        {afd_NombreCodigo, "", "A12", "TORNILLO A12"},
        {afd_Codigo, "", "A12", "A12"},
        {afd_Nombre, "", "A12", "TORNILLO"},
        {afd_CodigoNombre, "000000", "123", "000123 TORNILLO"},
        {afd_Codigo, "000000", "A12", "A12"},
        {afd_NombreCodigo, "000000", "1234567", "TORNILLO 1234567"},
        {0, "", "A12", "typed"},
        {5, "", "A12", "typed"},
    };
    for (const auto &c : cases) {
        control->setText("typed");
        control->setFormatDisplay(c.formatDisplay);
        control->setFormatCodigo(c.formatCodigo);
        vokTArticuloTestAccess::fill(*control, c.codigo, "TORNILLO");
        control->MostrarArticulo();
        EXPECT_EQ(control->Text(), c.expected) << c.formatDisplay << " " << c.formatCodigo << " " << c.codigo;
    }
}

// A lookup clears the article, fills it, writes the text and only then sets
// ID: the change it raises sees no article and clears nothing.
TEST_F(DisplayTest, WritingTheTextBeforeIdClearsNothing)
{
    control->setFormatDisplay(afd_CodigoNombre);
    vokTArticuloTestAccess::fill(*control, "A12", "TORNILLO");
    control->MostrarArticulo();
    control->setID(1234);
    EXPECT_EQ(log->events, QStringList({"Change ID=0"}));
    EXPECT_EQ(control->Codigo(), "A12");
    EXPECT_EQ(control->ID(), 1234);
}

} // namespace
