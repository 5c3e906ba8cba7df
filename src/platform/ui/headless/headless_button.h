#pragma once
// A command button without a display.

#include "headless_window.h"

namespace ui {

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

} // namespace ui
