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

// Geometry, visibility, enabled state and focus shared by every headless window.
template <typename Interface>
class HeadlessWindow : public Interface {
public:
    explicit HeadlessWindow(HeadlessToolkit &toolkit);
    ~HeadlessWindow() override;

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

    // The user presses a key (key code and shift state) on this window.
    void pressKey(int16_t keyCode, int16_t shift = 0);

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
    std::unique_ptr<TextBox> createTextBox(UserControl &parent) override;
    std::unique_ptr<CheckBox> createCheckBox(UserControl &parent) override;
    HeadlessScreen &screen() override { return m_screen; }
    // Records the box, prints it to the standard error and answers OK.
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override;
    const std::vector<ShownMessage> &messages() const { return m_messages; }
    void clearMessages() { m_messages.clear(); }

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
    void processPendingMessages() override { ++m_messagePumps; }
    int messagePumps() const { return m_messagePumps; }

    Window *focused() const { return m_focused; }
    // Moves the focus as the platform does: the text box losing it validates
    // first (and may keep it), then lost focus on the old window and got focus
    // on the new one.
    bool moveFocus(Window *to);
    void forget(Window *window);

private:
    HeadlessScreen m_screen;
    Window *m_focused = nullptr;
    std::vector<ShownMessage> m_messages;
    std::deque<std::optional<int>> m_itemListAnswers;
    std::vector<ShownItemList> m_itemLists;
    int m_messagePumps = 0;
    // Handle -> owner of every live window.
    std::map<int32_t, int32_t> m_owners;
};

} // namespace ui
