#include "qt_toolkit.h"

#include "qt_button.h"
#include "qt_check_box.h"
#include "qt_combo_box.h"
#include "qt_form.h"
#include "qt_image.h"
#include "qt_item_list_dialog.h"
#include "qt_label.h"
#include "qt_picture_box.h"
#include "qt_screen.h"
#include "qt_text_box.h"
#include "qt_user_control.h"

#include "platform/vb/error.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QWindow>

#include <atomic>
#include <cmath>

namespace ui {

namespace qt {

int toPixels(Twips twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

Twips toTwips(int pixels, int dpi)
{
    return dpi > 0 ? static_cast<Twips>(std::lround(static_cast<double>(pixels) * 1440.0 / dpi)) : 0;
}

QColor toQColor(OleColor colour, const QPalette &palette)
{
    if (colour & 0x80000000u) {
        // The system colour indexes of the platform, matched to the roles a
        // Qt style paints the same parts with.
        switch (colour & 0xFFu) {
        case 1: // desktop
        case 12: // application workspace
        case 16: // button shadow
            return palette.color(QPalette::Dark);
        case 4: // menu
        case 15: // button face
            return palette.color(QPalette::Button);
        case 5: // window background
            return palette.color(QPalette::Base);
        case 7: // menu text
        case 9: // caption text
            return palette.color(QPalette::WindowText);
        case 8: // window text
            return palette.color(QPalette::Text);
        case 13: // highlight
            return palette.color(QPalette::Highlight);
        case 14: // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 17: // grey text
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        case 20: // button highlight
            return palette.color(QPalette::Light);
        case 21: // 3D dark shadow
            return palette.color(QPalette::Shadow);
        case 22: // 3D light
            return palette.color(QPalette::Midlight);
        case 23: // tooltip text
            return palette.color(QPalette::ToolTipText);
        case 24: // tooltip background
            return palette.color(QPalette::ToolTipBase);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

QFont toQFont(const Font &font)
{
    QFont qfont(font.name);
    if (font.size > 0)
        qfont.setPointSizeF(font.size);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikethrough);
    return qfont;
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, OleColor colour)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(colour, QApplication::palette(widget)));
    widget->setPalette(palette);
}

int16_t shiftOf(Qt::KeyboardModifiers modifiers)
{
    int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int16_t keyCodeOf(const QKeyEvent &event)
{
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    // Letters and digits share their codes with the virtual keys; the digits
    // of the numeric pad have their own.
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(keypad ? 96 + (key - Qt::Key_0) : key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<int16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<int16_t>(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return keypad ? 106 : 56;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    default:
        return static_cast<int16_t>(key > 0 && key < 256 ? QChar(key).toUpper().unicode() & 0xFF : 0);
    }
}

int16_t keyAsciiOf(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0;
    default: break;
    }
    const QString text = event.text();
    if (text.size() != 1)
        return 0;
    const char16_t c = text.at(0).unicode();
    // A control character other than the ones above comes with Ctrl only.
    if (c < 32 && !(event.modifiers() & Qt::ControlModifier))
        return 0;
    if (c == 127)
        return 0;
    return static_cast<int16_t>(c);
}

KeyOutcome raiseKeyHandlers(Window &window, QWidget *widget, const QKeyEvent &event)
{
    const QPointer<QWidget> alive(widget);
    KeyOutcome outcome;
    outcome.keyCode = keyCodeOf(event);
    int16_t shift = shiftOf(event.modifiers());
    if (window.onKeyDown)
        window.onKeyDown(outcome.keyCode, shift);
    outcome.character = keyAsciiOf(event);
    outcome.keyAscii = outcome.character;
    if (alive && outcome.character != 0 && window.onKeyPress)
        window.onKeyPress(outcome.keyAscii);
    outcome.alive = !alive.isNull();
    return outcome;
}

} // namespace qt

// ----- QtWindow -----

template <typename Interface>
QtWindow<Interface>::QtWindow(QtToolkit &toolkit, QWidget *widget)
    : m_toolkit(toolkit), m_widget(widget), m_hWnd(toolkit.registerWidget(widget))
{
}

template <typename Interface>
QtWindow<Interface>::~QtWindow()
{
    m_toolkit.forget(this);
    m_toolkit.forgetHandle(m_hWnd);
    delete m_widget.data();
}

template <typename Interface>
int QtWindow<Interface>::dpiX() const
{
    return m_widget ? m_widget->logicalDpiX() : 96;
}

template <typename Interface>
int QtWindow<Interface>::dpiY() const
{
    return m_widget ? m_widget->logicalDpiY() : 96;
}

template <typename Interface>
QRect QtWindow<Interface>::pixelRect() const
{
    return m_widget->geometry();
}

template <typename Interface>
void QtWindow<Interface>::setPixelRect(const QRect &rect)
{
    m_widget->setGeometry(rect);
}

template <typename Interface>
void QtWindow<Interface>::place()
{
    if (!m_widget)
        return;
    setPixelRect(QRect(qt::toPixels(m_left, dpiX()), qt::toPixels(m_top, dpiY()), qt::toPixels(m_width, dpiX()),
                       qt::toPixels(m_height, dpiY())));
}

template <typename Interface>
void QtWindow<Interface>::syncFromWidget()
{
    if (!m_widget)
        return;
    const QRect g = pixelRect();
    if (g.x() != qt::toPixels(m_left, dpiX()))
        m_left = qt::toTwips(g.x(), dpiX());
    if (g.y() != qt::toPixels(m_top, dpiY()))
        m_top = qt::toTwips(g.y(), dpiY());
    if (g.width() != qt::toPixels(m_width, dpiX()))
        m_width = qt::toTwips(g.width(), dpiX());
    if (g.height() != qt::toPixels(m_height, dpiY()))
        m_height = qt::toTwips(g.height(), dpiY());
}

template <typename Interface>
void QtWindow<Interface>::setLeft(Twips left)
{
    m_left = left;
    place();
}

template <typename Interface>
void QtWindow<Interface>::setTop(Twips top)
{
    m_top = top;
    place();
}

template <typename Interface>
void QtWindow<Interface>::setWidth(Twips width)
{
    if (width < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_width = width;
    place();
}

template <typename Interface>
void QtWindow<Interface>::setHeight(Twips height)
{
    if (height < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_height = height;
    place();
}

template <typename Interface>
bool QtWindow<Interface>::isVisible() const
{
    // The window's own Visible, whether or not its form is shown yet.
    return m_widget && !m_widget->isHidden();
}

template <typename Interface>
void QtWindow<Interface>::setVisible(bool visible)
{
    if (m_widget)
        m_widget->setVisible(visible);
}

template <typename Interface>
void QtWindow<Interface>::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_widget)
        m_widget->setEnabled(enabled);
}

template <typename Interface>
void QtWindow<Interface>::setFocus()
{
    if (!m_widget || m_widget->isHidden() || !m_enabled || !m_widget->isVisible())
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    QWidget *top = m_widget->window();
    if (!top->isActiveWindow())
        top->activateWindow();
    m_widget->setFocus(Qt::OtherFocusReason);
}

template <typename Interface>
bool QtWindow<Interface>::hasFocus() const
{
    return m_toolkit.focused() == this;
}

template <typename Interface>
void QtWindow<Interface>::setCausesValidation(bool causes)
{
    if (m_widget)
        m_widget->setProperty("causesValidation", causes);
}

template class QtWindow<TextBox>;
template class QtWindow<CheckBox>;
template class QtWindow<UserControl>;
template class QtWindow<Form>;
template class QtWindow<Label>;
template class QtWindow<ComboBox>;
template class QtWindow<Button>;
template class QtWindow<PictureBox>;
template class QtWindow<Image>;

// ----- QtToolkit -----

QtToolkit::QtToolkit() : m_screen(std::make_unique<QtScreen>()) {}

QtToolkit::~QtToolkit() = default;

std::unique_ptr<UserControl> QtToolkit::createUserControl()
{
    return std::make_unique<QtUserControl>(*this);
}

QWidget *QtToolkit::containerWidget(Container &parent) const
{
    QWidget *widget = widgetOf(parent.hWnd());
    if (!widget)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    return widget;
}

void QtToolkit::placeInTabOrder(QWidget *container, QWidget *child)
{
    // Qt appends a new widget to its window's focus chain, which is the tab
    // order of creation as long as every container is filled before the next
    // one is created. A window created later in an earlier container is moved
    // to the end of that container's part of the chain, which stays
    // contiguous (depth first).
    QWidget *last = container;
    for (QWidget *next = last->nextInFocusChain(); next != container && next != child && container->isAncestorOf(next);
         next = next->nextInFocusChain())
        last = next;
    if (last->nextInFocusChain() == child)
        return;
    // Qt orders only widgets that take the focus; labels and panels are
    // ordered too, for the access keys of the labels read the chain.
    const Qt::FocusPolicy lastPolicy = last->focusPolicy();
    const Qt::FocusPolicy childPolicy = child->focusPolicy();
    last->setFocusPolicy(Qt::TabFocus);
    child->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(last, child);
    last->setFocusPolicy(lastPolicy);
    child->setFocusPolicy(childPolicy);
}

template <typename Created>
std::unique_ptr<Created> QtToolkit::createIn(Container &parent)
{
    QWidget *container = containerWidget(parent);
    auto created = std::make_unique<Created>(*this, container);
    placeInTabOrder(container, created->widget());
    if (auto *form = dynamic_cast<FormWidget *>(container->window()))
        form->watchKeys(created->widget());
    return created;
}

std::unique_ptr<TextBox> QtToolkit::createTextBox(Container &parent)
{
    return createIn<QtTextBox>(parent);
}

std::unique_ptr<CheckBox> QtToolkit::createCheckBox(Container &parent)
{
    return createIn<QtCheckBox>(parent);
}

std::unique_ptr<Form> QtToolkit::createForm()
{
    return std::make_unique<QtForm>(*this);
}

std::unique_ptr<Label> QtToolkit::createLabel(Container &parent)
{
    return createIn<QtLabel>(parent);
}

std::unique_ptr<ComboBox> QtToolkit::createComboBox(Container &parent)
{
    return createIn<QtComboBox>(parent);
}

std::unique_ptr<Button> QtToolkit::createButton(Container &parent)
{
    return createIn<QtButton>(parent);
}

std::unique_ptr<PictureBox> QtToolkit::createPictureBox(Container &parent)
{
    return createIn<QtPictureBox>(parent);
}

std::unique_ptr<Image> QtToolkit::createImage(Container &parent)
{
    return createIn<QtImage>(parent);
}

Screen &QtToolkit::screen()
{
    return *m_screen;
}

namespace {

// The answer the platform's message box returns for a Qt button.
int16_t answerOf(int button)
{
    switch (button) {
    case QMessageBox::Ok: return 1;
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return 2;
    }
}

} // namespace

int16_t QtToolkit::messageBox(const QString &prompt, int16_t style, const QString &title)
{
    using B = QMessageBox::StandardButton;
    std::vector<B> buttons;
    switch (style & 0x7) {
    case 1: buttons = {B::Ok, B::Cancel}; break;
    case 2: buttons = {B::Abort, B::Retry, B::Ignore}; break;
    case 3: buttons = {B::Yes, B::No, B::Cancel}; break;
    case 4: buttons = {B::Yes, B::No}; break;
    case 5: buttons = {B::Retry, B::Cancel}; break;
    default: buttons = {B::Ok}; break;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case 16: icon = QMessageBox::Critical; break;
    case 32: icon = QMessageBox::Question; break;
    case 48: icon = QMessageBox::Warning; break;
    case 64: icon = QMessageBox::Information; break;
    default: break;
    }
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, title.isEmpty() ? QCoreApplication::applicationName() : title, shown, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (B b : buttons)
        box.addButton(b);
    // Default button: first, second or third by the style's 256/512 bits.
    const size_t defaultIndex = std::min<size_t>(static_cast<size_t>((style >> 8) & 0x3), buttons.size() - 1);
    box.setDefaultButton(buttons[defaultIndex]);
    // Escape closes a box without a Cancel button as its only button would.
    if (buttons.size() == 1)
        box.setEscapeButton(buttons.front());
    box.exec();
    auto *clicked = box.clickedButton();
    if (!clicked)
        return buttons.size() == 1 ? answerOf(buttons.front()) : 2;
    return answerOf(box.standardButton(clicked));
}

int32_t QtToolkit::registerWidget(QWidget *widget)
{
    // Apart from the small numbers the headless toolkit hands out, so that the
    // handles of both stay unique within the process.
    static std::atomic<int32_t> lastHandle{0x10000};
    const int32_t handle = (lastHandle += 4);
    m_handles[handle] = {QPointer<QWidget>(widget), 0};
    return handle;
}

void QtToolkit::forgetHandle(int32_t hWnd)
{
    m_handles.erase(hWnd);
}

QWidget *QtToolkit::widgetOf(int32_t hWnd) const
{
    const auto found = m_handles.find(hWnd);
    return found == m_handles.end() ? nullptr : found->second.widget.data();
}

int32_t QtToolkit::handleOf(const QWidget *widget) const
{
    for (const auto &[handle, registered] : m_handles)
        if (registered.widget == widget)
            return handle;
    return 0;
}

int32_t QtToolkit::windowOwner(int32_t hWnd) const
{
    const auto found = m_handles.find(hWnd);
    return found == m_handles.end() ? 0 : found->second.owner;
}

int32_t QtToolkit::setWindowOwner(int32_t hWnd, int32_t owner)
{
    const auto found = m_handles.find(hWnd);
    if (found == m_handles.end() || !found->second.widget)
        return 0;
    const int32_t previous = std::exchange(found->second.owner, owner);
    QWidget *top = found->second.widget->window();
    QWidget *ownerWidget = widgetOf(owner);
    QWindow *ownerWindow = nullptr;
    if (ownerWidget && ownerWidget->window() != top) {
        QWidget *ownerTop = ownerWidget->window();
        ownerTop->winId();
        ownerWindow = ownerTop->windowHandle();
    }
    top->winId();
    if (QWindow *window = top->windowHandle())
        window->setTransientParent(ownerWindow);
    return previous;
}

ItemChoice QtToolkit::showItemList(const ItemListLayout &layout, RowSource &rows)
{
    ItemListDialog dialog(layout, rows, QApplication::activeWindow());
    m_openItemList = &dialog;
    const int result = dialog.exec();
    m_openItemList = nullptr;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenRow();
}

void QtToolkit::sendTab()
{
    QWidget *active = QApplication::activeWindow();
    QWidget *target = active ? active->focusWidget() : nullptr;
    if (!target)
        target = active;
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(target, &release);
}

void QtToolkit::processPendingMessages()
{
    // The screen settles (the closed list's window goes, what it covered is
    // painted, timers run), but the keys and clicks the cashier sent
    // meanwhile stay queued: they belong to whichever field has the focus when
    // the handler that called us is done, as they would in a till's message
    // queue. Run here, they would reach the field the lookup started from.
    ++m_pumping;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --m_pumping;
}

void QtToolkit::focusEntered(Window *window)
{
    if (m_restoringFocus || m_focused == window)
        return;
    // A window whose leaving is still being validated (a message box of its
    // handler took the focus meanwhile) loses it before the next one gets it.
    if (Window *previous = std::exchange(m_focused, nullptr); previous && previous->onLostFocus)
        previous->onLostFocus();
    m_focused = window;
    if (window->onGotFocus)
        window->onGotFocus();
}

namespace {
// The window whose leaving has been validated and is being carried out.
thread_local const Window *leavingValidated = nullptr;
} // namespace

void QtToolkit::focusLeaving(Window *window, Qt::FocusReason reason)
{
    if (m_restoringFocus || m_focused != window)
        return;
    // Another window becoming active, a popup or a menu takes the keyboard
    // without taking the focus from the control within its form: the
    // platform raises nothing, and the window still has the focus when its
    // form is active again.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return;
    const QPointer<QWidget> to = QApplication::focusWidget();
    auto *textBox = dynamic_cast<QtTextBox *>(window);
    // The platform validates when the focus moves to another control of the
    // same form that causes validation.
    const bool withinForm = to && textBox && textBox->widget() && to->window() == textBox->widget()->window();
    const QVariant causes = to ? to->property("causesValidation") : QVariant();
    if (withinForm && (!causes.isValid() || causes.toBool()) && textBox->onValidate && leavingValidated != window) {
        bool cancel = false;
        textBox->onValidate(cancel);
        if (cancel && textBox->widget()) {
            // Qt has already moved the focus: put it back without telling
            // either window, as the platform never let it go.
            m_restoringFocus = true;
            textBox->widget()->setFocus(Qt::OtherFocusReason);
            m_restoringFocus = false;
            return;
        }
        // The handler may have moved the focus on to another window (already
        // told), or back into this one, as the lookup run on leaving does:
        // the validation was not cancelled, so the move under way goes on,
        // without validating twice.
        if (m_focused != window)
            return;
        if (textBox->widget() && QApplication::focusWidget() == textBox->widget()) {
            if (to) {
                leavingValidated = window;
                to->setFocus(reason);
                leavingValidated = nullptr;
            }
            return;
        }
    }
    m_focused = nullptr;
    if (window->onLostFocus)
        window->onLostFocus();
}

void QtToolkit::forget(Window *window)
{
    if (m_focused == window)
        m_focused = nullptr;
}

} // namespace ui
