#pragma once
// The control's own surface without a display: size, ambient properties and
// the changes it told its container of.

#include "headless_window.h"

#include <vector>

namespace ui {

class HeadlessUserControl final : public HeadlessWindow<UserControl> {
public:
    using HeadlessWindow::HeadlessWindow;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    bool ambientUserMode() const override { return m_userMode; }
    Font ambientFont() const override { return m_ambientFont; }
    void propertyChanged(const QString &name) override { m_changed.push_back(name); }
    void refresh() override { ++m_refreshes; }

    // The container's side.
    void setAmbientUserMode(bool userMode) { m_userMode = userMode; }
    void setAmbientFont(const Font &font) { m_ambientFont = font; }
    void resize(Twips width, Twips height);
    const std::vector<QString> &changedProperties() const { return m_changed; }
    int refreshCount() const { return m_refreshes; }

private:
    OleColor m_backColor = SystemButtonFace;
    bool m_userMode = true;
    Font m_ambientFont;
    std::vector<QString> m_changed;
    int m_refreshes = 0;
};

} // namespace ui
