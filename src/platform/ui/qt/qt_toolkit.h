#pragma once
// The toolkit on Qt widgets: the control's constituent controls become real
// widgets on the host's forms, and the message box and the item list real
// modal windows. Geometry stays in twips on this side of the interface; the
// widgets are placed in pixels through each widget's logical DPI.

#include "platform/ui/toolkit.h"

#include <QPointer>
#include <QWidget>

#include <map>

class QColor;
class QFont;
class QKeyEvent;

namespace ui {

class QtToolkit;

// Conversions shared by the Qt windows.
namespace qt {
// Pixels for a length in twips at the given dots per inch, rounded to nearest.
int toPixels(Twips twips, int dpi);
Twips toTwips(int pixels, int dpi);
// An OLE colour as Qt paints it; a system colour is read from the palette.
QColor toQColor(OleColor colour, const QPalette &palette);
QFont toQFont(const Font &font);
// Paints a role of the widget's palette in an OLE colour.
void setPaletteColor(QWidget *widget, QPalette::ColorRole role, OleColor colour);
// The key code and shift state that key down reports for a Qt key event.
int16_t keyCodeOf(const QKeyEvent &event);
int16_t shiftOf(Qt::KeyboardModifiers modifiers);
// The character key press reports, 0 when the key produces none.
int16_t keyAsciiOf(const QKeyEvent &event);

// A key going down as the window's handlers saw it: the key code after key
// down, the character the key produces (0 for none) and the character after
// key press. alive is false when a handler destroyed the widget meanwhile.
struct KeyOutcome {
    int16_t keyCode = 0;
    int16_t character = 0;
    int16_t keyAscii = 0;
    bool alive = true;
    // A handler cleared the key code or the character: the widget must not
    // act on the key.
    bool swallowed() const { return keyCode == 0 || (character != 0 && keyAscii == 0); }
};
// Raises key down, then key press when the key produces a character, on a
// window whose widget receives the event.
KeyOutcome raiseKeyHandlers(Window &window, QWidget *widget, const QKeyEvent &event);
} // namespace qt

// Geometry, visibility, enabled state and focus shared by the Qt windows. The
// sizes set through the interface are kept in twips as given, so that the
// control's layout arithmetic reads back exactly what it wrote; a size that
// comes from the widget itself (a container resizing the control) is converted
// from pixels.
template <typename Interface>
class QtWindow : public Interface {
public:
    QtWindow(QtToolkit &toolkit, QWidget *widget);
    ~QtWindow() override;

    int32_t hWnd() const override { return m_hWnd; }

    Twips left() const override { return m_left; }
    Twips top() const override { return m_top; }
    Twips width() const override { return m_width; }
    Twips height() const override { return m_height; }
    void setLeft(Twips left) override;
    void setTop(Twips top) override;
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    bool isVisible() const override;
    void setVisible(bool visible) override;
    bool isEnabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;

    void setFocus() override;
    bool hasFocus() const override;

    QWidget *widget() const { return m_widget; }
    QtToolkit &toolkit() const { return m_toolkit; }
    // Whether the focus arriving here lets the window losing it validate
    // first (the platform's CausesValidation, True by default).
    void setCausesValidation(bool causes);

    // Called by the widget: the pixel geometry changed under us.
    void syncFromWidget();

protected:
    QtToolkit &m_toolkit;
    QPointer<QWidget> m_widget;
    int dpiX() const;
    int dpiY() const;
    // Puts the widget where the twips say.
    void place();
    // The rectangle in pixels that the twips measure: the widget's geometry in
    // its parent. A top-level window measures its outer frame instead.
    virtual QRect pixelRect() const;
    virtual void setPixelRect(const QRect &rect);

private:
    int32_t m_hWnd;
    Twips m_left = 0;
    Twips m_top = 0;
    Twips m_width = 0;
    Twips m_height = 0;
    bool m_enabled = true;
};

class QtToolkit final : public Toolkit {
public:
    QtToolkit();
    ~QtToolkit() override;

    std::unique_ptr<UserControl> createUserControl() override;
    std::unique_ptr<TextBox> createTextBox(Container &parent) override;
    std::unique_ptr<CheckBox> createCheckBox(Container &parent) override;
    std::unique_ptr<Form> createForm() override;
    std::unique_ptr<Label> createLabel(Container &parent) override;
    std::unique_ptr<ComboBox> createComboBox(Container &parent) override;
    std::unique_ptr<Button> createButton(Container &parent) override;
    std::unique_ptr<PictureBox> createPictureBox(Container &parent) override;
    std::unique_ptr<Image> createImage(Container &parent) override;
    Screen &screen() override;
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override;
    int32_t setWindowOwner(int32_t hWnd, int32_t owner) override;
    ItemChoice showItemList(const ItemListLayout &layout, RowSource &rows) override;
    // Sent at once to the widget with the focus in the active window, so the
    // focus has moved on when it returns (as on the headless toolkit).
    void sendTab() override;
    void processPendingMessages() override;

    // Gives a widget of the host (a form) a window handle, so that it can be
    // named as an owner. The handle is forgotten with the widget.
    int32_t registerWidget(QWidget *widget);
    void forgetHandle(int32_t hWnd);
    QWidget *widgetOf(int32_t hWnd) const;
    int32_t handleOf(const QWidget *widget) const;
    int32_t windowOwner(int32_t hWnd) const;

    // The window of this toolkit holding the focus, as its handlers saw it.
    Window *focused() const { return m_focused; }
    // Focus notifications from the widgets, in Qt's order.
    void focusEntered(Window *window);
    void focusLeaving(Window *window, Qt::FocusReason reason);
    void forget(Window *window);

    // The item list shown last, while it is open (for tests and hosts that
    // drive it).
    QWidget *openItemList() const { return m_openItemList; }
    // Whether a handler is letting pending window messages run just now.
    bool isPumping() const { return m_pumping > 0; }

private:
    // The widget of a container of this toolkit; error 5 for any other.
    QWidget *containerWidget(Container &parent) const;
    // A new window in a container: it comes after everything already in the
    // container in the tab order, and its keys pass its form's key preview.
    template <typename Created>
    std::unique_ptr<Created> createIn(Container &parent);
    void placeInTabOrder(QWidget *container, QWidget *child);

    struct Registered {
        QPointer<QWidget> widget;
        int32_t owner = 0;
    };
    std::unique_ptr<Screen> m_screen;
    std::map<int32_t, Registered> m_handles;
    Window *m_focused = nullptr;
    bool m_restoringFocus = false;
    QPointer<QWidget> m_openItemList;
    int m_pumping = 0;
};

} // namespace ui
