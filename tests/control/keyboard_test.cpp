// The keyboard flow of one entry, as scenarios: what the user does and the
// events the host receives, in order.

#include "control_harness.h"
#include "named_rows.h"

#include "detail/frm_foto.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

using vok::test::CatalogueFixture;
using vok::test::LoadableArticle;
using vok::test::PrintTo;

class KeyboardTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        control->setEmpresa(1);
        control->setFormatDisplay(afd_CodigoNombre);
        control->tArticulo().setFocus();
    }

    // Codes of loadable articles without varieties that no other code begins with.
    static std::vector<QString> uniqueCodes()
    {
        return column("Select ArtCodigo From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not "
                      "Null And ArtNoUtilizarGenerico = 0 And Not Exists (Select 1 From ArticuloVariedad Where "
                      "AVaArticulo = a.ArtID) And (Select Count(*) From Articulo b Where b.ArtCodigo Like "
                      "a.ArtCodigo || '%') = 1 Order By ArtID");
    }
    static QString uniqueCode() { return uniqueCodes().at(0); }

    void typed(const QString &characters)
    {
        text().type(characters);
        log->events.clear();
    }

    void tabOut() // to the next control of the host's form
    {
        hostBox = toolkit().createTextBox(control->userControl());
        hostBox->setFocus();
    }

    std::unique_ptr<ui::TextBox> hostBox;
};

TEST_F(KeyboardTest, EnterWithNothingToResolveGoesToTheHostAndNothingFoundRaisesGotFocus2)
{
    const struct {
        const char *typed;
        QStringList events;
    } cases[] = {{"", {"KeyDown 13 0", "KeyPress 13"}},
                 {"   ", {"KeyDown 13 0", "KeyPress 13"}},
                 {"ZZZQQQ", {"KeyDown 13 0", "GotFocus2"}}};
    for (const auto &c : cases) {
        control->setText({});
        typed(c.typed);
        text().type("\r");
        EXPECT_EQ(log->events, c.events) << '"' << c.typed << '"';
        EXPECT_EQ(control->Text(), c.typed);
        EXPECT_EQ(control->ID(), 0);
    }
    EXPECT_EQ(listsShown(), 0u);
}

TEST_F(KeyboardTest, EnterOnAnArticleWithoutVarietiesLoadsItAndHandsOnEnter)
{
    const QString code = uniqueCode();
    typed(code);
    text().type("\r");
    EXPECT_GT(control->ID(), 0);
    EXPECT_EQ(control->Codigo(), code);
    EXPECT_EQ(log->events, QStringList({"KeyDown 13 0", "Change ID=0", "KeyPress 13"}));
    EXPECT_TRUE(text().hasFocus());
    EXPECT_EQ(text().selectedText(), control->Text());

    log->events.clear();
    text().type("\r");
    EXPECT_EQ(log->events, QStringList({"KeyDown 13 0", "KeyPress 13"})) << "a held article is not looked up again";
}

TEST_F(KeyboardTest, LeavingWithUnresolvedTextLooksUpOnceAndLeaves)
{
    const QString code = uniqueCode();
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
    EXPECT_TRUE(log->events.join('|').contains(
        QRegularExpression("^KeyDown 13 0\\|Error \\d+ - no such table: ArticuloCodigoBarras\\|GotFocus2$")))
        << log->events.join('|').toStdString();

    log->events.clear();
    tabOut();
    EXPECT_TRUE(log->events.join('|').contains(QRegularExpression("^Error [^|]*$")));
}

// A Null picture reference fails the load after the article is taken: the
// cashier hears of it, and the serial-number flag is the new article's.
TEST_F(KeyboardTest, NullPictureReferenceLeavesNoFlagOfThePreviousArticle)
{
    const QString asking = uniqueCodes().at(0), withoutPicture = uniqueCodes().at(1);
    connect(editedCopy("sin_foto.db", "Update Articulo Set ArtPideNroSerie = 1 Where ArtCodigo = '" +
                                          asking.toStdString() +
                                          "'; Update Articulo Set ArtFoto = Null, ArtPideNroSerie = 0 Where "
                                          "ArtCodigo = '" + withoutPicture.toStdString() + "';"));
    typed(asking);
    text().type("\r");
    ASSERT_EQ(control->PideSerie(), 1);

    control->setText({});
    typed(withoutPicture);
    text().type("\r");
    ASSERT_EQ(log->events.size(), 4) << log->events.join(", ").toStdString();
    EXPECT_EQ(log->events[2], "Error 94 - Invalid use of Null");
    EXPECT_EQ(control->Codigo(), withoutPicture);
    EXPECT_EQ(control->PideSerie(), 0);
}

TEST_F(KeyboardTest, CheckBoxEnterWithResolvableTextReturnsToTheTextBox)
{
    control->MostrarVariedad(2);
    check().setFocus();
    control->setText("ZZZ");
    log->events.clear();
    int16_t enter = 13;
    check().onKeyPress(enter); // text to resolve: the box hands Enter back
    EXPECT_TRUE(text().hasFocus());
    EXPECT_EQ(log->events, QStringList({"GotFocus2"}));
}

// F4 and F12 without shift keys are the control's own commands and never reach
// the host; every other key that goes down does, as KeyDown.
struct CommandKey {
    const char *name;
    int16_t key;
    int16_t shift;
    bool held;
    const char *opens;
    QStringList events;
};

class CommandKeys : public KeyboardTest, public ::testing::WithParamInterface<CommandKey> {};

TEST_P(CommandKeys, OpenTheirWindowOrReachTheHost)
{
    const CommandKey &c = GetParam();
    const auto article = static_cast<int32_t>(firstId(LoadableArticle));
    if (c.held) {
        control->FindArticuloByID(article);
        control->setVariedad(3);
    }
    log->events.clear();

    // A modal window other than the detail view is the search dialog; an
    // answer no window took is taken back by a window of our own.
    QString opened;
    std::pair<int32_t, int16_t> shown;
    detail::setDetailLoadedListener([&](const detail::frmFoto &foto) {
        opened = "detail";
        shown = {foto.mlngArticulo, foto.mintVariedad};
    });
    ui::Form *answered = nullptr;
    toolkit().queueModalAnswer([&](ui::Form &form) { answered = &form; });
    text().pressKey(c.key, c.shift);
    if (!answered)
        toolkit().createForm()->showModal();
    else if (opened.isEmpty())
        opened = "search";
    detail::setDetailLoadedListener({});

    EXPECT_EQ(opened, c.opens);
    EXPECT_EQ(log->events, c.events);
    if (opened == "detail") {
        EXPECT_EQ(shown, std::make_pair(article, int16_t{3})) << "the article and variety held";
    }
}

INSTANTIATE_TEST_SUITE_P(Keyboard, CommandKeys,
                         ::testing::Values(CommandKey{"F4", 115, 0, false, "search", {}},
                                           CommandKey{"ShiftF4", 115, 1, true, "", {"KeyDown 115 1"}},
                                           CommandKey{"F12WithAnArticleHeld", 123, 0, true, "detail", {}},
                                           CommandKey{"F12OnAnEmptyControl", 123, 0, false, "", {"KeyDown 123 0"}},
                                           CommandKey{"F5", 116, 0, true, "", {"KeyDown 116 0"}}),
                         vok::test::byName);

} // namespace
