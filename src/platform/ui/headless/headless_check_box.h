#pragma once
// A check box without a display: value, caption and the user's toggling.

#include "headless_window.h"

namespace ui {

class HeadlessCheckBox final : public HeadlessWindow<CheckBox> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    int16_t value() const override { return m_value; }
    void setValue(int16_t value) override;
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }

    // The user presses the space bar on the box: the tick toggles.
    void toggle();

private:
    int16_t m_value = 0;
    QString m_caption;
    OleColor m_backColor = SystemButtonFace;
};

} // namespace ui
