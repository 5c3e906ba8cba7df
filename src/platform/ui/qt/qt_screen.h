#pragma once
// The screen on Qt: the primary screen's size in twips, and the mouse pointer
// as the application's override cursor, so that the hourglass shows over every
// window while the control reads the database.

#include "platform/ui/window.h"

namespace ui {

class QtScreen final : public Screen {
public:
    QtScreen() = default;
    ~QtScreen() override;
    QtScreen(const QtScreen &) = delete;
    QtScreen &operator=(const QtScreen &) = delete;

    Twips width() const override;
    Twips height() const override;
    int16_t mousePointer() const override { return m_pointer; }
    void setMousePointer(int16_t pointer) override;

private:
    int16_t m_pointer = 0;
    bool m_overriding = false;
};

} // namespace ui
