#pragma once
// A text box without a display: text, selection and the user's typing.

#include "headless_window.h"

#include <QString>

namespace ui {

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

} // namespace ui
