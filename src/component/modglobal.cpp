#include "modglobal.h"

#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"

namespace modGlobal {

int32_t SetWindowOwner(const vb::Variant &hWnd, const vb::Variant &hWndOwner)
{
    return ui::toolkit().setWindowOwner(vb::CLng(hWnd), vb::CLng(hWndOwner));
}

} // namespace modGlobal
