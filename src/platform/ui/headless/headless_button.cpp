// A command button without a display.

#include "headless_button.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessButton::click()
{
    if (onClick)
        onClick();
}

} // namespace ui
