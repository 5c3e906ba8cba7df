#pragma once
// A label without a display.

#include "headless_window.h"

namespace ui {

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

} // namespace ui
