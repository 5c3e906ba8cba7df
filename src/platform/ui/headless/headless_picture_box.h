#pragma once
// A picture box without a display.

#include "headless_window.h"

namespace ui {

class HeadlessPictureBox final : public HeadlessWindow<PictureBox> {
public:
    using HeadlessWindow::HeadlessWindow;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }

private:
    OleColor m_backColor = SystemButtonFace;
};

} // namespace ui
