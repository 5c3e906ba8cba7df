// The headless surface of a user control.

#include "headless_user_control.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessUserControl::resize(Twips width, Twips height)
{
    setWidth(width);
    setHeight(height);
    if (onResize)
        onResize();
}

} // namespace ui
