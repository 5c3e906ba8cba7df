#include "platform/ui/headless/headless_toolkit.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// A small dialog: two labelled fields, then a strip holding two buttons.
class HeadlessFormTest : public ::testing::Test {
protected:
    ui::HeadlessToolkit toolkit;
    std::unique_ptr<ui::Form> form = toolkit.createForm();
    std::unique_ptr<ui::Label> nameLabel = toolkit.createLabel(*form);
    std::unique_ptr<ui::ComboBox> field = toolkit.createComboBox(*form);
    std::unique_ptr<ui::Label> textLabel = toolkit.createLabel(*form);
    std::unique_ptr<ui::TextBox> text = toolkit.createTextBox(*form);
    std::unique_ptr<ui::PictureBox> strip = toolkit.createPictureBox(*form);
    std::unique_ptr<ui::Button> ok = toolkit.createButton(*strip);
    std::unique_ptr<ui::Button> cancel = toolkit.createButton(*strip);
    ui::HeadlessForm &dialog = static_cast<ui::HeadlessForm &>(*form);
    QStringList log;

    void SetUp() override
    {
        nameLabel->setCaption("Buscar en &Campo:");
        textLabel->setCaption("Texto && &Buscar:");
        ok->setCaption("&Aceptar");
        cancel->setCaption("Cancelar");
        ok->onClick = [&] { log << "ok"; };
    }

    // Runs the dialog with user acting on it.
    void show(std::function<void(ui::HeadlessForm &)> user)
    {
        toolkit.queueModalAnswer([user](ui::Form &shown) { user(static_cast<ui::HeadlessForm &>(shown)); });
        form->showModal();
    }
};

TEST_F(HeadlessFormTest, ModalShowLoadsRunsTheUserAndUnloadsWithTheFocusGivenBack)
{
    auto surface = toolkit.createUserControl();
    auto behind = toolkit.createTextBox(*surface);
    behind->setFocus();
    behind->onLostFocus = [&] { log << "behind lost focus"; };
    form->onLoad = [&] { log << QStringLiteral("load visible=%1").arg(form->isVisible()); };
    form->onUnload = [&] { log << "unload"; };
    show([&](ui::HeadlessForm &shown) {
        log << QStringLiteral("user focus on combo=%1").arg(field->hasFocus());
        EXPECT_EQ(toolkit.activeForm(), &shown);
    });
    EXPECT_EQ(log, QStringList({"load visible=0", "user focus on combo=1", "unload"}));
    EXPECT_TRUE(behind->hasFocus());
    EXPECT_FALSE(dialog.isLoaded());
    EXPECT_EQ(toolkit.activeForm(), nullptr);
}

TEST_F(HeadlessFormTest, TabFollowsCreationOrderSkippingLabelsAndWhatCannotTakeTheFocus)
{
    show([&](ui::HeadlessForm &shown) {
        QStringList visited;
        const auto nameOf = [&](ui::Window *window) {
            return window == field.get() ? "field" : window == text.get() ? "text" : window == ok.get() ? "ok" : "cancel";
        };
        for (int i = 0; i < 4; ++i) {
            visited << nameOf(toolkit.focused());
            toolkit.sendTab();
        }
        EXPECT_EQ(visited, QStringList({"field", "text", "ok", "cancel"}));
        EXPECT_EQ(toolkit.focused(), field.get()) << "the tab wraps around";

        text->setEnabled(false);
        strip->setVisible(false);
        EXPECT_EQ(shown.nextInTabOrder(field.get()), field.get())
            << "a disabled control and the buttons of a hidden strip are passed over";
    });
}

TEST_F(HeadlessFormTest, AccessKeysMoveToTheControlAfterTheLabelOrClickTheButton)
{
    show([&](ui::HeadlessForm &shown) {
        shown.pressAccessKey(u'b');
        EXPECT_TRUE(text->hasFocus()) << "&Buscar names the text box after its label";
        shown.pressAccessKey(u'c');
        EXPECT_TRUE(field->hasFocus());
        shown.pressAccessKey(u'T');
        EXPECT_TRUE(field->hasFocus()) << "&& is a plain ampersand, not an access key";
        shown.pressAccessKey(u'a');
        EXPECT_TRUE(ok->hasFocus());
    });
    EXPECT_EQ(log, QStringList({"ok"}));
}

} // namespace
