#pragma once
// A toolkit without a display. It keeps geometry, texts, states and the focus
// exactly as the platform's controls would, and lets a test or a console host
// act as the user (type, press keys, move the focus).

#include "platform/ui/toolkit.h"

#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace ui {

class HeadlessToolkit;
class HeadlessForm;

// Where a headless window stands among the others: its container and, for a
// container, the windows created in it, in creation (tab) order.
class HeadlessNode {
public:
    virtual ~HeadlessNode();
    HeadlessNode *parentNode() const { return m_parent; }
    const std::vector<HeadlessNode *> &childNodes() const { return m_children; }
    virtual Window &window() = 0;
    // Whether the platform's tab key stops at this kind of window.
    virtual bool isTabStop() const { return false; }
    // The top-level form holding this window, nullptr when there is none.
    HeadlessForm *form();
    // Visible and enabled, and so are all its containers.
    bool isReachable();
    // Every window under this one, depth-first in tab order.
    void collect(std::vector<HeadlessNode *> &into);

protected:
    void attachTo(Container *parent);

private:
    HeadlessNode *m_parent = nullptr;
    std::vector<HeadlessNode *> m_children;
};

// Geometry, visibility, enabled state and focus shared by every headless window.
template <typename Interface>
class HeadlessWindow : public Interface, public HeadlessNode {
public:
    explicit HeadlessWindow(HeadlessToolkit &toolkit, Container *parent = nullptr);
    ~HeadlessWindow() override;

    Window &window() override { return *this; }

    int32_t hWnd() const override { return m_hWnd; }

    Twips left() const override { return m_left; }
    Twips top() const override { return m_top; }
    Twips width() const override { return m_width; }
    Twips height() const override { return m_height; }
    void setLeft(Twips left) override { m_left = left; }
    void setTop(Twips top) override { m_top = top; }
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override;
    bool isEnabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }

    void setFocus() override;
    bool hasFocus() const override;

    // The user presses a key (key code and shift state) on this window: the
    // form sees it first when it previews keys, then the window's own handler.
    void pressKey(int16_t keyCode, int16_t shift = 0);
    // A key that also produces a character (Enter 13, Escape 27...): key down
    // as above, then key press with that character.
    void press(int16_t keyCode, int16_t keyAscii, int16_t shift = 0);

protected:
    HeadlessToolkit &m_toolkit;

private:
    int32_t m_hWnd;
    Twips m_left = 0;
    Twips m_top = 0;
    Twips m_width = 0;
    Twips m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
};

class HeadlessTextBox final : public HeadlessWindow<TextBox> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    QString text() const override { return m_text; }
    void setText(const QString &text) override;
    int32_t selStart() const override { return m_selStart; }
    void setSelStart(int32_t start) override;
    int32_t selLength() const override { return m_selLength; }
    void setSelLength(int32_t length) override;
    int32_t maxLength() const override { return m_maxLength; }
    void setMaxLength(int32_t length) override;
    int16_t appearance() const override { return m_appearance; }
    void setAppearance(int16_t appearance) override;
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    OleColor foreColor() const override { return m_foreColor; }
    void setForeColor(OleColor colour) override { m_foreColor = colour; }
    Font font() const override { return m_font; }
    void setFont(const Font &font) override { m_font = font; }

    // The user types characters: each raises key down and key press; a printable
    // character that the key-press handler leaves non-zero replaces the selection
    // (within the maximum length) and raises the change handler.
    void type(const QString &characters);
    QString selectedText() const { return m_text.mid(m_selStart, m_selLength); }

private:
    QString m_text;
    int32_t m_selStart = 0;
    int32_t m_selLength = 0;
    int32_t m_maxLength = 0;
    int16_t m_appearance = 1;
    OleColor m_backColor = SystemWindowBackground;
    OleColor m_foreColor = SystemWindowText;
    Font m_font;
};

class HeadlessCheckBox final : public HeadlessWindow<CheckBox> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    int16_t value() const override { return m_value; }
    void setValue(int16_t value) override;
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }

    // The user presses the space bar on the box: the tick toggles.
    void toggle();

private:
    int16_t m_value = 0;
    QString m_caption;
    OleColor m_backColor = SystemButtonFace;
};

class HeadlessUserControl final : public HeadlessWindow<UserControl> {
public:
    using HeadlessWindow::HeadlessWindow;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    bool ambientUserMode() const override { return m_userMode; }
    Font ambientFont() const override { return m_ambientFont; }
    void propertyChanged(const QString &name) override { m_changed.push_back(name); }
    void refresh() override { ++m_refreshes; }

    // The container's side.
    void setAmbientUserMode(bool userMode) { m_userMode = userMode; }
    void setAmbientFont(const Font &font) { m_ambientFont = font; }
    void resize(Twips width, Twips height);
    const std::vector<QString> &changedProperties() const { return m_changed; }
    int refreshCount() const { return m_refreshes; }

private:
    OleColor m_backColor = SystemButtonFace;
    bool m_userMode = true;
    Font m_ambientFont;
    std::vector<QString> m_changed;
    int m_refreshes = 0;
};

class HeadlessLabel final : public HeadlessWindow<Label> {
public:
    using HeadlessWindow::HeadlessWindow;

    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    Font font() const override { return m_font; }
    void setFont(const Font &font) override { m_font = font; }
    OleColor foreColor() const override { return m_foreColor; }
    void setForeColor(OleColor colour) override { m_foreColor = colour; }
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    Alignment alignment() const override { return m_alignment; }
    void setAlignment(Alignment alignment) override { m_alignment = alignment; }

    // The user clicks the label.
    void click();

private:
    QString m_caption;
    Font m_font;
    OleColor m_foreColor = SystemWindowText;
    OleColor m_backColor = SystemButtonFace;
    Alignment m_alignment = Alignment::Left;
};

class HeadlessComboBox final : public HeadlessWindow<ComboBox> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    void addItem(const QString &caption, int32_t itemData) override;
    int32_t listCount() const override { return static_cast<int32_t>(m_items.size()); }
    int32_t listIndex() const override { return m_index; }
    // Also the user's choice in the drop-down list.
    void setListIndex(int32_t index) override;
    int32_t itemData(int32_t index) const override;
    int32_t findItemData(int32_t itemData) const override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override { m_font = font; }

    QString itemCaption(int32_t index) const;

private:
    std::vector<std::pair<QString, int32_t>> m_items;
    int32_t m_index = -1;
    Font m_font;
};

class HeadlessButton final : public HeadlessWindow<Button> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    Font font() const override { return m_font; }
    void setFont(const Font &font) override { m_font = font; }

    // The user clicks the button (or presses its access key).
    void click();

private:
    QString m_caption;
    OleColor m_backColor = SystemButtonFace;
    Font m_font;
};

class HeadlessPictureBox final : public HeadlessWindow<PictureBox> {
public:
    using HeadlessWindow::HeadlessWindow;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }

private:
    OleColor m_backColor = SystemButtonFace;
};

class HeadlessImage final : public HeadlessWindow<Image> {
public:
    using HeadlessWindow::HeadlessWindow;

    void loadPicture(const QString &path) override;
    int32_t pictureHandle() const override { return m_handle; }
    // The file of the picture held, "" when none.
    QString loadedPath() const { return m_path; }

private:
    int32_t m_handle = 0;
    QString m_path;
};

class HeadlessForm final : public HeadlessWindow<Form> {
public:
    explicit HeadlessForm(HeadlessToolkit &toolkit);

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    bool keyPreview() const override { return m_keyPreview; }
    void setKeyPreview(bool preview) override { m_keyPreview = preview; }
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    void showModal() override;
    void unload() override;
    bool isLoaded() const { return m_loaded; }

    // The user presses Alt with a letter: a label with that access key moves
    // the focus to the control after it in tab order, a button is clicked.
    void pressAccessKey(QChar letter);
    // The control that takes the focus after from in tab order (from the
    // start when from is nullptr), wrapping around; nullptr when none can.
    Window *nextInTabOrder(Window *from);

private:
    OleColor m_backColor = SystemButtonFace;
    QString m_caption;
    bool m_keyPreview = false;
    bool m_loaded = false;
};

class HeadlessScreen final : public Screen {
public:
    // 1024 x 768 pixels at 15 twips per pixel until resized.
    Twips width() const override { return m_width; }
    Twips height() const override { return m_height; }
    int16_t mousePointer() const override { return m_pointer; }
    void setMousePointer(int16_t pointer) override;

    // The screen a test or the console host pretends to have.
    void resize(Twips width, Twips height)
    {
        m_width = width;
        m_height = height;
    }

    // Every value the pointer took, in order.
    const std::vector<int16_t> &pointerHistory() const { return m_history; }
    void clearPointerHistory() { m_history.clear(); }

private:
    Twips m_width = 15360;
    Twips m_height = 11520;
    int16_t m_pointer = 0;
    std::vector<int16_t> m_history;
};

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
