// The keyboard flow of one entry, as scenarios: what the user does and the
// events the host receives, in order.

#include "catalogue_fixture.h"

#include <gtest/gtest.h>

namespace {

class KeyboardTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        control->setEmpresa(1);
        control->setFormatDisplay(afd_CodigoNombre);
        control->tArticulo().setFocus();
    }

    // The code of a loadable article that no other code begins with, with or
    // without varieties.
    static QString uniqueCode(bool withVarieties)
    {
        return firstText("Select ArtCodigo From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not "
                         "Null And ArtNoUtilizarGenerico = 0 And " +
                         std::string(withVarieties ? "" : "Not ") +
                         "Exists (Select 1 From ArticuloVariedad Where AVaArticulo = a.ArtID) And (Select Count(*) "
                         "From Articulo b Where b.ArtCodigo Like a.ArtCodigo || '%') = 1 Order By ArtID");
    }

    // The user types, then the log keeps only what follows.
    void typed(const QString &characters)
    {
        text().type(characters);
        log->events.clear();
    }

    // Tab to the next control of the host's form.
    void tabOut()
    {
        hostBox = toolkit().createTextBox(control->userControl());
        hostBox->setFocus();
    }

    std::unique_ptr<ui::TextBox> hostBox;
};

TEST_F(KeyboardTest, EnterWithNothingToResolveGoesToTheHost)
{
    for (const char *typedText : {"", "   "}) {
        control->setText({});
        typed(typedText);
        text().type("\r");
        EXPECT_EQ(log->events, QStringList({"KeyPress 13"})) << '"' << typedText << '"';
        EXPECT_EQ(listsShown(), 0u);
    }
}

TEST_F(KeyboardTest, EnterOnAnArticleWithoutVarietiesLoadsItAndHandsOnEnter)
{
    const QString code = uniqueCode(false);
    ASSERT_FALSE(code.isEmpty());
    typed(code);
    text().type("\r");
    EXPECT_GT(control->ID(), 0);
    EXPECT_EQ(control->Codigo(), code);
    EXPECT_EQ(log->events, QStringList({"Change ID=0", "KeyPress 13"}));
    EXPECT_TRUE(text().hasFocus());
    EXPECT_EQ(text().selectedText(), control->Text());

    log->events.clear();
    text().type("\r");
    EXPECT_EQ(log->events, QStringList({"KeyPress 13"})) << "a held article is not looked up again";
}

TEST_F(KeyboardTest, ArticleWithVarietiesMovesTheFocusToTheCheckBox)
{
    const QString code = uniqueCode(true);
    ASSERT_FALSE(code.isEmpty());
    toolkit().queueItemListAnswer(0);
    typed(code);
    text().type("\r");
    EXPECT_EQ(control->Variedad(), 0);
    EXPECT_TRUE(check().isVisible());
    EXPECT_TRUE(check().hasFocus());
    EXPECT_EQ(check().caption(), "Incluir Variedades");
    EXPECT_EQ(log->events, QStringList({"Change ID=0"}));

    // Space ticks the box (the host sees the key), Enter goes to the host, and
    // leaving shrinks the box to its short caption, keeping the tick.
    log->events.clear();
    check().toggle();
    int16_t enter = 13;
    check().onKeyPress(enter);
    tabOut();
    EXPECT_EQ(log->events, QStringList({"KeyPress 32", "KeyPress 13"}));
    EXPECT_EQ(check().caption(), "c/Var");
    EXPECT_EQ(check().width(), 700);
    EXPECT_TRUE(control->IncluirVariedades());

    // Typing again abandons the article and hides the box.
    log->events.clear();
    control->tArticulo().setFocus();
    text().type("9");
    EXPECT_EQ(control->ID(), 0);
    EXPECT_FALSE(check().isVisible());
}

TEST_F(KeyboardTest, NothingFoundRaisesGotFocus2)
{
    typed("ZZZQQQ");
    text().type("\r");
    EXPECT_EQ(log->events, QStringList({"GotFocus2"}));
    EXPECT_EQ(control->ID(), 0);
    EXPECT_EQ(control->Text(), "ZZZQQQ");
}

TEST_F(KeyboardTest, LeavingWithUnresolvedTextLooksUpOnceAndLeaves)
{
    const QString code = uniqueCode(false);
    typed(code);
    tabOut();
    EXPECT_GT(control->ID(), 0);
    EXPECT_TRUE(hostBox->hasFocus()) << "the lookup never cancels leaving the box";
    EXPECT_EQ(log->events, QStringList({"Change ID=0"}));
}

TEST_F(KeyboardTest, DatabaseFailureRaisesErrorThenGotFocus2OnEnterAndOnlyErrorOnTab)
{
    connect(editedCopy("sin_articulos.db", "Drop Table ArticuloCodigoBarras;"));
    typed("LECHE");
    text().type("\r");
    ASSERT_EQ(log->events.size(), 2);
    EXPECT_TRUE(log->events[0].startsWith("Error ")) << log->events[0].toStdString();
    EXPECT_TRUE(log->events[0].contains(" - no such table: ArticuloCodigoBarras")) << log->events[0].toStdString();
    EXPECT_EQ(log->events[1], "GotFocus2");

    log->events.clear();
    tabOut();
    ASSERT_EQ(log->events.size(), 1);
    EXPECT_TRUE(log->events[0].startsWith("Error "));
}

TEST_F(KeyboardTest, CheckBoxEnterWithResolvableTextReturnsToTheTextBox)
{
    control->MostrarVariedad(2);
    check().setFocus();
    control->setText("ZZZ");
    log->events.clear();
    int16_t enter = 13;
    check().onKeyPress(enter);
    EXPECT_TRUE(text().hasFocus());
    EXPECT_EQ(log->events, QStringList({"GotFocus2"}));
}

} // namespace
