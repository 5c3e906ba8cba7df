// A text box without a display: text, selection and the user's typing.

#include "headless_text_box.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

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

} // namespace ui
