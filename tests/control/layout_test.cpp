#include "control_fixture.h"

#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(text().left(), 0);
    EXPECT_EQ(text().top(), 0);
    EXPECT_EQ(text().width(), 4000);
    EXPECT_EQ(text().height(), 285);
    EXPECT_EQ(check().left(), 1);
    EXPECT_EQ(check().top(), 40);
    EXPECT_FALSE(check().isVisible());

    control->MostrarVariedad(2);
    surface().resize(5000, 300);
    EXPECT_EQ(text().width(), 5000) << "the text box is not narrowed on a resize";
    EXPECT_EQ(check().left(), 1);
    EXPECT_EQ(check().width(), 1700);
    EXPECT_TRUE(check().isVisible());
}

TEST_F(LayoutTest, CheckBoxModesOnAControl4000Wide)
{
    const struct {
        uint8_t mode;
        bool visible;
        ui::Twips checkLeft, checkWidth, textWidth;
        const char *caption;
    } cases[] = {
        {2, true, 2300, 1700, 2240, "RNF 3"},
        {3, true, 3300, 700, 3240, "RNF 4"},
        {1, false, 3300, 700, 4000, "RNF 4"},
        {9, false, 3300, 700, 4000, "RNF 4"},
    };
    for (const auto &c : cases) {
        control->MostrarVariedad(c.mode);
        EXPECT_EQ(check().isVisible(), c.visible) << int(c.mode);
        EXPECT_EQ(check().left(), c.checkLeft) << int(c.mode);
        EXPECT_EQ(check().width(), c.checkWidth) << int(c.mode);
        EXPECT_EQ(check().top(), 40) << int(c.mode);
        EXPECT_EQ(check().height(), 195) << int(c.mode);
        EXPECT_EQ(text().width(), c.textWidth) << int(c.mode);
        EXPECT_EQ(check().caption(), c.caption) << int(c.mode);
    }
}

TEST_F(LayoutTest, CaptionsComeFromTheLanguageComponent)
{
    control->setConnect(nullptr);
    control->MostrarVariedad(2);
    EXPECT_EQ(check().caption(), "Incluir Variedades");
    control->MostrarVariedad(3);
    EXPECT_EQ(check().caption(), "c/Var");
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

// Hiding the box takes the focus from it when it has it; the box must stay
// hidden and unticked however it was offered, and the text box takes the
// whole width back.
struct HideCase {
    const char *name;
    uint8_t offeredAs;
    bool focused;
};

void PrintTo(const HideCase &c, std::ostream *os)
{
    *os << c.name;
}

class HideTheBox : public LayoutTest, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HideTheBox, ModeOneLeavesItHiddenUntickedAndTheTextBoxFullWidth)
{
    control->MostrarVariedad(GetParam().offeredAs);
    check().setValue(1);
    if (GetParam().focused)
        check().setFocus();
    control->MostrarVariedad(1);
    EXPECT_FALSE(check().isVisible());
    EXPECT_FALSE(check().hasFocus());
    EXPECT_FALSE(control->IncluirVariedades());
    EXPECT_EQ(text().width(), 4000);
}

INSTANTIATE_TEST_SUITE_P(Layout, HideTheBox,
                         ::testing::Values(HideCase{"LongCaptionWithoutTheFocus", 2, false},
                                           HideCase{"LongCaptionWithTheFocus", 2, true},
                                           HideCase{"ShortCaptionWithTheFocus", 3, true}),
                         [](const ::testing::TestParamInfo<HideCase> &info) { return std::string(info.param.name); });

TEST_F(LayoutTest, TooNarrowControlKeepsTheTextBoxWidth)
{
    surface().resize(1000, 285);
    control->MostrarVariedad(2);
    EXPECT_EQ(text().width(), 1000);
    EXPECT_EQ(check().left(), -700);
    EXPECT_TRUE(check().isVisible());
}

TEST_F(LayoutTest, AppearanceAndFontLayTheControlOutAgain)
{
    text().setWidth(10);
    control->setAppearance(0);
    EXPECT_EQ(text().width(), 4000);
    text().setWidth(10);
    control->setFont(ui::Font{"Arial", 9});
    EXPECT_EQ(text().width(), 4000);
}

TEST_F(LayoutTest, SeleccionarTextoSelectsEverything)
{
    control->setText("TORNILLO 3x4");
    text().setSelStart(3);
    control->SeleccionarTexto();
    EXPECT_EQ(text().selStart(), 0);
    EXPECT_EQ(text().selLength(), 12);
}

} // namespace
