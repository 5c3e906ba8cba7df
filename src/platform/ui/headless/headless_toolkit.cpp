#include "headless_toolkit.h"

#include "platform/vb/error.h"

#include <atomic>
#include <cstdio>
#include <utility>

namespace ui {

template <typename Interface>
HeadlessWindow<Interface>::HeadlessWindow(HeadlessToolkit &toolkit)
    : m_toolkit(toolkit), m_hWnd(toolkit.newWindowHandle())
{
}

template <typename Interface>
HeadlessWindow<Interface>::~HeadlessWindow()
{
    m_toolkit.forget(this);
}

template <typename Interface>
void HeadlessWindow<Interface>::setWidth(Twips width)
{
    if (width < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_width = width;
}

template <typename Interface>
void HeadlessWindow<Interface>::setHeight(Twips height)
{
    if (height < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_height = height;
}

template <typename Interface>
void HeadlessWindow<Interface>::setVisible(bool visible)
{
    m_visible = visible;
    if (!visible && hasFocus())
        m_toolkit.moveFocus(nullptr);
}

template <typename Interface>
void HeadlessWindow<Interface>::setFocus()
{
    if (!m_visible || !m_enabled)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    m_toolkit.moveFocus(this);
}

template <typename Interface>
bool HeadlessWindow<Interface>::hasFocus() const
{
    return m_toolkit.focused() == this;
}

template <typename Interface>
void HeadlessWindow<Interface>::pressKey(int16_t keyCode, int16_t shift)
{
    if (this->onKeyDown)
        this->onKeyDown(keyCode, shift);
}

template class HeadlessWindow<TextBox>;
template class HeadlessWindow<CheckBox>;
template class HeadlessWindow<UserControl>;

void HeadlessTextBox::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_selStart = static_cast<int32_t>(m_text.size());
    m_selLength = 0;
    if (onChange)
        onChange();
}

void HeadlessTextBox::setSelStart(int32_t start)
{
    if (start < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_selStart = std::min<int32_t>(start, static_cast<int32_t>(m_text.size()));
    m_selLength = 0;
}

void HeadlessTextBox::setSelLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_selLength = std::min<int32_t>(length, static_cast<int32_t>(m_text.size()) - m_selStart);
}

void HeadlessTextBox::setMaxLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_maxLength = length;
}

void HeadlessTextBox::setAppearance(int16_t appearance)
{
    if (appearance != 0 && appearance != 1)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_appearance = appearance;
}

namespace {
// The key code the platform reports in key down for a typed character.
int16_t keyCodeOf(QChar c)
{
    if (c.isLetter() && c.unicode() < 128)
        return static_cast<int16_t>(c.toUpper().unicode());
    return static_cast<int16_t>(c.unicode() < 256 ? c.unicode() : 0);
}
} // namespace

void HeadlessTextBox::type(const QString &characters)
{
    for (QChar c : characters) {
        pressKey(keyCodeOf(c), 0);
        int16_t keyAscii = static_cast<int16_t>(c.unicode());
        if (onKeyPress)
            onKeyPress(keyAscii);
        if (keyAscii < 32)
            continue;
        const QChar typed(static_cast<char16_t>(keyAscii));
        const int32_t kept = static_cast<int32_t>(m_text.size()) - m_selLength;
        if (m_maxLength > 0 && kept >= m_maxLength)
            continue;
        QString text = m_text;
        text.replace(m_selStart, m_selLength, typed);
        const int32_t caret = m_selStart + 1;
        if (text != m_text) {
            m_text = text;
            m_selStart = caret;
            m_selLength = 0;
            if (onChange)
                onChange();
        }
    }
}

void HeadlessCheckBox::setValue(int16_t value)
{
    if (value < 0 || value > 2)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    if (value == m_value)
        return;
    m_value = value;
    if (onClick)
        onClick();
}

void HeadlessCheckBox::toggle()
{
    int16_t keyAscii = 32;
    if (onKeyPress)
        onKeyPress(keyAscii);
    if (keyAscii == 32)
        setValue(m_value == 1 ? 0 : 1);
}

void HeadlessUserControl::resize(Twips width, Twips height)
{
    setWidth(width);
    setHeight(height);
    if (onResize)
        onResize();
}

void HeadlessScreen::setMousePointer(int16_t pointer)
{
    m_pointer = pointer;
    m_history.push_back(pointer);
}

std::unique_ptr<UserControl> HeadlessToolkit::createUserControl()
{
    return std::make_unique<HeadlessUserControl>(*this);
}

std::unique_ptr<TextBox> HeadlessToolkit::createTextBox(UserControl &)
{
    return std::make_unique<HeadlessTextBox>(*this);
}

std::unique_ptr<CheckBox> HeadlessToolkit::createCheckBox(UserControl &)
{
    return std::make_unique<HeadlessCheckBox>(*this);
}

int16_t HeadlessToolkit::messageBox(const QString &prompt, int16_t style, const QString &title)
{
    m_messages.push_back({prompt, style, title});
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(shown));
    return 1;
}

bool HeadlessToolkit::moveFocus(Window *to)
{
    if (to == m_focused)
        return true;
    if (auto *textBox = dynamic_cast<TextBox *>(m_focused); textBox && to && textBox->onValidate) {
        bool cancel = false;
        textBox->onValidate(cancel);
        if (cancel)
            return false;
    }
    Window *from = m_focused;
    m_focused = to;
    if (from && from->onLostFocus)
        from->onLostFocus();
    if (to && to->onGotFocus)
        to->onGotFocus();
    return true;
}

void HeadlessToolkit::forget(Window *window)
{
    if (m_focused == window)
        m_focused = nullptr;
    m_owners.erase(window->hWnd());
}

int32_t HeadlessToolkit::newWindowHandle()
{
    // Counted over the whole process, as handles of real windows are unique
    // across threads too.
    static std::atomic<int32_t> lastHandle{0};
    const int32_t handle = ++lastHandle;
    m_owners[handle] = 0;
    return handle;
}

ItemChoice HeadlessToolkit::showItemList(const ItemListLayout &layout, RowSource &rows)
{
    constexpr int FirstRowsShown = 20;
    std::optional<int> answer;
    if (!m_itemListAnswers.empty()) {
        answer = m_itemListAnswers.front();
        m_itemListAnswers.pop_front();
    }
    ShownItemList shown{layout, {}, std::nullopt};
    const int needed = std::max(FirstRowsShown, answer.value_or(0) + 1);
    while (static_cast<int>(shown.rowsRead.size()) < needed && !rows.atEnd())
        shown.rowsRead.push_back(rows.takeRow());
    if (answer && *answer >= 0 && *answer < static_cast<int>(shown.rowsRead.size()))
        shown.chosen = answer;
    m_itemLists.push_back(shown);
    if (!shown.chosen)
        return std::nullopt;
    return shown.rowsRead[static_cast<size_t>(*shown.chosen)];
}

int32_t HeadlessToolkit::setWindowOwner(int32_t hWnd, int32_t owner)
{
    const auto found = m_owners.find(hWnd);
    if (found == m_owners.end())
        return 0;
    return std::exchange(found->second, owner);
}

int32_t HeadlessToolkit::windowOwner(int32_t hWnd) const
{
    const auto found = m_owners.find(hWnd);
    return found == m_owners.end() ? 0 : found->second;
}

} // namespace ui
