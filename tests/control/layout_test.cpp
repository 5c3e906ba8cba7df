// The text box and the check box on the control's surface, in twips.

#include "control_harness.h"
#include "named_rows.h"

#include <gtest/gtest.h>

namespace {

using vok::test::ControlFixture;
using vok::test::PrintTo;

struct Mode {
    const char *name;
    uint8_t mode;
    bool visible;
    ui::Twips checkLeft, checkWidth, textWidth;
    const char *caption;
};

class CheckBoxMode : public ControlFixture, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        surface().resize(4000, 285);
        control->setConnect(nullptr);
    }
};

// Each mode after the long one, on a control 4000 twips wide: the box sits
// at the right edge, the text box 60 twips short of it.
TEST_P(CheckBoxMode, OnAControl4000Wide)
{
    const Mode &m = GetParam();
    control->MostrarVariedad(2);
    control->MostrarVariedad(m.mode);
    EXPECT_EQ(check().isVisible(), m.visible);
    EXPECT_EQ(check().left(), m.checkLeft);
    EXPECT_EQ(check().width(), m.checkWidth);
    EXPECT_EQ(text().width(), m.textWidth);
    EXPECT_EQ(check().caption(), m.caption);
}

INSTANTIATE_TEST_SUITE_P(Layout, CheckBoxMode,
                         ::testing::Values(Mode{"Long", 2, true, 2300, 1700, 2240, "Incluir Variedades"},
                                           Mode{"Short", 3, true, 3300, 700, 3240, "c/Var"},
                                           Mode{"Hidden", 1, false, 2300, 1700, 4000, "Incluir Variedades"},
                                           Mode{"UnknownChangesNothing", 9, true, 2300, 1700, 2240,
                                                "Incluir Variedades"}),
                         vok::test::byName);

class LayoutTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        surface().resize(4000, 285);
    }
};

TEST_F(LayoutTest, ResizeGivesTheTextBoxTheWholeArea)
{
    control->MostrarVariedad(2);
    surface().resize(5000, 300);
    EXPECT_EQ(text().width(), 5000) << "the text box is not narrowed on a resize";
    EXPECT_EQ(text().height(), 300);
    text().setWidth(10);
    control->setFont(ui::Font{"Arial", 9});
    EXPECT_EQ(text().width(), 5000) << "a new font lays the control out again";
}

TEST_F(LayoutTest, TickSurvivesModeThreeOnly)
{
    control->MostrarVariedad(2);
    check().toggle();
    control->MostrarVariedad(3);
    EXPECT_TRUE(control->IncluirVariedades());
    control->MostrarVariedad(2);
    EXPECT_FALSE(control->IncluirVariedades());
    check().toggle();
    control->MostrarVariedad(1);
    EXPECT_FALSE(control->IncluirVariedades());
}

} // namespace
