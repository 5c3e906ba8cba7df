#pragma once
// The windowing toolkit as the control sees it: constituent controls placed in
// twips (1/1440 inch), with the handlers the platform raised on them. Two
// implementations exist: a headless one that records everything (tests, the
// console host) and one on Qt widgets.

#include <QString>

#include <cstdint>
#include <functional>

namespace ui {

using Twips = int32_t;
// An OLE colour: 0x00BBGGRR, or a system colour when the high bit is set.
using OleColor = uint32_t;

inline constexpr OleColor SystemWindowBackground = 0x80000005u;
inline constexpr OleColor SystemWindowText = 0x80000008u;
inline constexpr OleColor SystemButtonFace = 0x8000000Fu;

// The platform's standard font object, kept by value.
struct Font {
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const Font &) const = default;
};

// What every placed control has: a rectangle in its container's coordinates,
// visibility, an enabled state and the keyboard focus.
class Window {
public:
    virtual ~Window();

    // The handle by which the platform's window functions name the window: a
    // 32-bit number, unique among the windows of the process, never 0.
    virtual int32_t hWnd() const = 0;

    virtual Twips left() const = 0;
    virtual Twips top() const = 0;
    virtual Twips width() const = 0;
    virtual Twips height() const = 0;
    // A negative width or height is refused with the platform's error 380
    // ("Invalid property value") and the size stays as it was.
    virtual void setLeft(Twips left) = 0;
    virtual void setTop(Twips top) = 0;
    virtual void setWidth(Twips width) = 0;
    virtual void setHeight(Twips height) = 0;
    void move(Twips left, Twips top, Twips width, Twips height);

    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

    // Moving the focus to a hidden or disabled control is the platform's error 5.
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;

    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    std::function<void(int16_t &keyCode, int16_t &shift)> onKeyDown;
    std::function<void(int16_t &keyAscii)> onKeyPress;
};

class TextBox : public Window {
public:
    virtual QString text() const = 0;
    // Raises onChange when the text really changes, as the platform does.
    virtual void setText(const QString &text) = 0;
    virtual int32_t selStart() const = 0;
    virtual void setSelStart(int32_t start) = 0;
    virtual int32_t selLength() const = 0;
    virtual void setSelLength(int32_t length) = 0;
    // 0 = no limit. Lowering it does not shorten the text already there.
    virtual int32_t maxLength() const = 0;
    virtual void setMaxLength(int32_t length) = 0;
    // 0 flat, 1 three-dimensional.
    virtual int16_t appearance() const = 0;
    virtual void setAppearance(int16_t appearance) = 0;
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;
    virtual OleColor foreColor() const = 0;
    virtual void setForeColor(OleColor colour) = 0;
    virtual Font font() const = 0;
    virtual void setFont(const Font &font) = 0;

    std::function<void()> onChange;
    // The focus is about to leave for a control that causes validation;
    // setting cancel keeps the focus here.
    std::function<void(bool &cancel)> onValidate;
};

class CheckBox : public Window {
public:
    // 0 unticked, 1 ticked, 2 greyed.
    virtual int16_t value() const = 0;
    virtual void setValue(int16_t value) = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;

    std::function<void()> onClick;
};

// The control's own surface, given by its container: its size, its own
// colour and enabled state, and what the container tells it (run mode) or is
// told by it (a persisted property changed).
class UserControl : public Window {
public:
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;
    // The container's ambient UserMode: true at run time, false in a designer.
    virtual bool ambientUserMode() const = 0;
    // The container's ambient font: what a new control's text takes its font
    // name from, and the default of the stored "Font".
    virtual Font ambientFont() const = 0;
    virtual void propertyChanged(const QString &name) = 0;
    virtual void refresh() = 0;

    std::function<void()> onResize;
};

// The screen: its size in twips and the mouse pointer shown over every window
// of the application (0 default, 11 hourglass).
class Screen {
public:
    virtual ~Screen();
    virtual Twips width() const = 0;
    virtual Twips height() const = 0;
    virtual int16_t mousePointer() const = 0;
    virtual void setMousePointer(int16_t pointer) = 0;
};

} // namespace ui
