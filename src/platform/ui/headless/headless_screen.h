#pragma once
// The screen a test or the console host pretends to have, and the mouse
// pointer's history on it.

#include "platform/ui/toolkit.h"

#include <vector>

namespace ui {

class HeadlessScreen final : public Screen {
public:
    // 1024 x 768 pixels at 15 twips per pixel until resized.
    Twips width() const override { return m_width; }
    Twips height() const override { return m_height; }
    int16_t mousePointer() const override { return m_pointer; }
    void setMousePointer(int16_t pointer) override;

    // The screen a test or the console host pretends to have.
    void resize(Twips width, Twips height)
    {
        m_width = width;
        m_height = height;
    }

    // Every value the pointer took, in order.
    const std::vector<int16_t> &pointerHistory() const { return m_history; }
    void clearPointerHistory() { m_history.clear(); }

private:
    Twips m_width = 15360;
    Twips m_height = 11520;
    int16_t m_pointer = 0;
    std::vector<int16_t> m_history;
};

} // namespace ui
