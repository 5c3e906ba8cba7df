#pragma once
// A toolkit without a display. It keeps geometry, texts, states and the focus
// exactly as the platform's controls would, and lets a test or a console host
// act as the user (type, press keys, move the focus).
// Each kind of window has its own header; this one includes them all.

#include "headless_button.h"
#include "headless_check_box.h"
#include "headless_combo_box.h"
#include "headless_form.h"
#include "headless_image.h"
#include "headless_label.h"
#include "headless_picture_box.h"
#include "headless_screen.h"
#include "headless_text_box.h"
#include "headless_user_control.h"
#include "headless_window.h"
#include "platform/ui/toolkit.h"

#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace ui {

// A message box shown by the headless toolkit.
struct ShownMessage {
    QString prompt;
    int16_t style = 0;
    QString title;
};

// An item list shown by the headless toolkit: what it was given, the rows it
// read (as many as the answer needed, at least the first 20) and the answer.
struct ShownItemList {
    ItemListLayout layout;
    std::vector<ItemRow> rowsRead;
    std::optional<int> chosen;
};

class HeadlessToolkit final : public Toolkit {
public:
    std::unique_ptr<UserControl> createUserControl() override;
    std::unique_ptr<TextBox> createTextBox(Container &parent) override;
    std::unique_ptr<CheckBox> createCheckBox(Container &parent) override;
    std::unique_ptr<Form> createForm() override;
    std::unique_ptr<Label> createLabel(Container &parent) override;
    std::unique_ptr<ComboBox> createComboBox(Container &parent) override;
    std::unique_ptr<Button> createButton(Container &parent) override;
    std::unique_ptr<PictureBox> createPictureBox(Container &parent) override;
    std::unique_ptr<Image> createImage(Container &parent) override;
    HeadlessScreen &screen() override { return m_screen; }
    // Records the box, prints it to the standard error and answers OK.
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override;
    const std::vector<ShownMessage> &messages() const { return m_messages; }
    void clearMessages() { m_messages.clear(); }
    // Drops what was recorded so far (messages, item lists, pointer values):
    // a long-running host keeps only what it has not reported yet.
    void forgetRecords()
    {
        m_messages.clear();
        m_itemLists.clear();
        m_screen.clearPointerHistory();
    }

    // Records the owner of a window of this toolkit; nothing is shown.
    int32_t setWindowOwner(int32_t hWnd, int32_t owner) override;
    // The owner recorded for a window, 0 for none or an unknown handle.
    int32_t windowOwner(int32_t hWnd) const;
    // A new window's handle, known to the toolkit until forget.
    int32_t newWindowHandle();

    // Answers the next item list from the script: the 0-based row to choose,
    // or nothing to close it. With no answer queued the list is closed.
    void queueItemListAnswer(std::optional<int> row) { m_itemListAnswers.push_back(row); }
    ItemChoice showItemList(const ItemListLayout &layout, RowSource &rows) override;
    const std::vector<ShownItemList> &itemLists() const { return m_itemLists; }
    // Acts as the user of the next form shown modally: runs after the form has
    // loaded and shown. A form still loaded when it returns is closed as by its
    // close box; with no answer queued a form closes as soon as it has loaded.
    void queueModalAnswer(std::function<void(Form &)> user) { m_modalAnswers.push_back(std::move(user)); }
    // The form shown modally now, nullptr when none.
    // The answer queued for the next modal form, empty when none is.
    std::function<void(Form &)> takeModalAnswer();
    HeadlessForm *activeForm() const { return m_modalForms.empty() ? nullptr : m_modalForms.back(); }
    // Moves the focus to the next control in the tab order of the window that
    // has it.
    void sendTab() override;
    void processPendingMessages() override { ++m_messagePumps; }
    int messagePumps() const { return m_messagePumps; }

    Window *focused() const { return m_focused; }
    // Moves the focus as the platform does: the text box losing it validates
    // first (and may keep it), then lost focus on the old window and got focus
    // on the new one.
    bool moveFocus(Window *to);
    void forget(Window *window);

    // A modal form takes the focus from the windows behind it and gives it back
    // when it closes, without their focus handlers running (they stay the
    // focused controls of their own, inactive window).
    void enterModal(HeadlessForm &form);
    void leaveModal(HeadlessForm &form);

private:
    HeadlessScreen m_screen;
    Window *m_focused = nullptr;
    std::vector<ShownMessage> m_messages;
    std::deque<std::optional<int>> m_itemListAnswers;
    std::deque<std::function<void(Form &)>> m_modalAnswers;
    std::vector<HeadlessForm *> m_modalForms;
    std::vector<Window *> m_focusBehindModal;
    std::vector<ShownItemList> m_itemLists;
    int m_messagePumps = 0;
    // Handle -> owner of every live window.
    std::map<int32_t, int32_t> m_owners;
};

} // namespace ui
