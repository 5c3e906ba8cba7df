#include "platform/ui/headless/headless_toolkit.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

class HeadlessToolkitTest : public ::testing::Test {
protected:
    ui::HeadlessToolkit toolkit;
    std::unique_ptr<ui::UserControl> surface = toolkit.createUserControl();
    std::unique_ptr<ui::TextBox> textBox = toolkit.createTextBox(*surface);
    std::unique_ptr<ui::CheckBox> checkBox = toolkit.createCheckBox(*surface);
    ui::HeadlessTextBox &text = static_cast<ui::HeadlessTextBox &>(*textBox);
    QStringList log;
};

TEST_F(HeadlessToolkitTest, TypingRaisesItsEventsAndHonoursMaxLengthAndSwallowedKeys)
{
    text.setText("T");
    text.setMaxLength(3);
    text.type("UERCA");
    EXPECT_EQ(text.text(), "TUE");

    text.onKeyDown = [&](int16_t &code, int16_t &) { log << QStringLiteral("down %1").arg(code); };
    text.onKeyPress = [&](int16_t &ascii) {
        log << QStringLiteral("press %1").arg(ascii);
        ascii = ascii == 'x' ? 0 : ascii;
    };
    text.onChange = [&] { log << "change " + text.text(); };
    text.setMaxLength(0);
    text.type("xy");
    EXPECT_EQ(text.text(), "TUEy");
    EXPECT_EQ(log, QStringList({"down 88", "press 120", "down 89", "press 121", "change TUEy"}));
}

TEST_F(HeadlessToolkitTest, FocusMovesWithValidateLostFocusAndGotFocusInOrder)
{
    bool cancel = false;
    text.onValidate = [&](bool &c) { log << "validate"; c = cancel; };
    text.onLostFocus = [&] { log << "text lost"; };
    checkBox->onGotFocus = [&] { log << "check got"; };
    text.setFocus();
    cancel = true;
    checkBox->setFocus();
    EXPECT_TRUE(text.hasFocus());
    cancel = false;
    checkBox->setFocus();
    EXPECT_TRUE(checkBox->hasFocus());
    EXPECT_EQ(log, QStringList({"validate", "validate", "text lost", "check got"}));
}

} // namespace
