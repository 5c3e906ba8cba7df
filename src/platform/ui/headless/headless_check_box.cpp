// A check box without a display: value, caption and the user's toggling.

#include "headless_check_box.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessCheckBox::setValue(int16_t value)
{
    if (value < 0 || value > 2)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    if (value == m_value)
        return;
    m_value = value;
    if (onClick)
        onClick();
}

void HeadlessCheckBox::toggle()
{
    int16_t keyAscii = 32;
    if (onKeyPress)
        onKeyPress(keyAscii);
    if (keyAscii == 32)
        setValue(m_value == 1 ? 0 : 1);
}

} // namespace ui
