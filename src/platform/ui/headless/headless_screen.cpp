// The headless screen: the pointer and its history.

#include "headless_screen.h"

namespace ui {

void HeadlessScreen::setMousePointer(int16_t pointer)
{
    m_pointer = pointer;
    m_history.push_back(pointer);
}

} // namespace ui
