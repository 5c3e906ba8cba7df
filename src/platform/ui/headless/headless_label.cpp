// A label without a display.

#include "headless_label.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessLabel::click()
{
    if (onClick)
        onClick();
}

} // namespace ui
