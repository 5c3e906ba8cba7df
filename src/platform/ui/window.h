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

// A window that holds others: the control's own surface, a form, a picture box.
// Controls created inside it come in its tab order in the order they were
// created.
class Container : public Window {
public:
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;
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
class UserControl : public Container {
public:
    // The container's ambient UserMode: true at run time, false in a designer.
    virtual bool ambientUserMode() const = 0;
    // The container's ambient font: what a new control's text takes its font
    // name from, and the default of the stored "Font".
    virtual Font ambientFont() const = 0;
    virtual void propertyChanged(const QString &name) = 0;
    virtual void refresh() = 0;

    std::function<void()> onResize;
};

// Text alignment of a label.
enum class Alignment : int16_t { Left = 0, Right = 1, Center = 2 };

// A caption on a container. Its text wraps at word boundaries within its own
// rectangle and what does not fit is cut off; it never sizes itself. A "&"
// before a letter makes that letter its access key: Alt with the letter moves
// the focus to the control that follows the label in the tab order ("&&" shows
// one "&"). Labels never take the focus themselves.
class Label : public Window {
public:
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual Font font() const = 0;
    virtual void setFont(const Font &font) = 0;
    virtual OleColor foreColor() const = 0;
    virtual void setForeColor(OleColor colour) = 0;
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;
    virtual Alignment alignment() const = 0;
    virtual void setAlignment(Alignment alignment) = 0;

    std::function<void()> onClick;
};

// The flat drop-down list of our dialogs: entries with a caption and a 32-bit
// item code, chosen from the list only (nothing is typed into it).
class ComboBox : public Window {
public:
    virtual void addItem(const QString &caption, int32_t itemData) = 0;
    virtual int32_t listCount() const = 0;
    // The selected entry, -1 for none. Setting an index outside the entries is
    // the platform's error 380 ("Invalid property value").
    virtual int32_t listIndex() const = 0;
    virtual void setListIndex(int32_t index) = 0;
    // The item code of the entry at index; error 381 outside the entries.
    virtual int32_t itemData(int32_t index) const = 0;
    // The index of the first entry with that item code, -1 when none has it.
    virtual int32_t findItemData(int32_t itemData) const = 0;
    virtual Font font() const = 0;
    virtual void setFont(const Font &font) = 0;

    // The selection changed, by the user or by code (only on a real change).
    std::function<void()> onSelectionChange;
};

// The flat push button of our dialogs.
class Button : public Window {
public:
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual OleColor backColor() const = 0;
    virtual void setBackColor(OleColor colour) = 0;
    virtual Font font() const = 0;
    virtual void setFont(const Font &font) = 0;

    std::function<void()> onClick;
};

// A plain container painted in its back colour (a strip of buttons, a panel).
class PictureBox : public Container {
};

// A picture shown at its own size: loading a picture sets the element's width
// and height in twips from the picture's pixels and resolution (96 dots per
// inch when the file gives none).
class Image : public Window {
public:
    // An empty path removes the picture. A path that names no file is the
    // platform's error 53 ("File not found"), a file that no image reader
    // understands error 481 ("Invalid picture"); the element keeps what it had.
    virtual void loadPicture(const QString &path) = 0;
    // 0 when the element holds no picture.
    virtual int32_t pictureHandle() const = 0;
};

// A top-level window of the application: a dialog or a view shown modally.
class Form : public Container {
public:
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    // With key preview the form's onKeyDown sees every key that goes down in
    // any of its controls before the control's own handler does.
    virtual bool keyPreview() const = 0;
    virtual void setKeyPreview(bool preview) = 0;
    // Sizes are the window's outer size; every change of width or height
    // raises onResize.

    // Loads the form (onLoad), shows it and returns once it has been unloaded.
    // Only one form is modal at a time on a thread.
    virtual void showModal() = 0;
    // Closes the form: onUnload, then the window is hidden and showModal returns.
    virtual void unload() = 0;

    std::function<void()> onLoad;
    std::function<void()> onUnload;
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
