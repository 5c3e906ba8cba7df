#pragma once
// modGlobal: the library's global window helper.

#include "platform/vb/variant.h"

#include <cstdint>

namespace modGlobal {

// Makes hWndOwner the owner of the top-level window hWnd (0 leaves it without
// an owner) and returns the previous owner. Both arguments are converted with
// CLng. A handle the toolkit does not know gives 0, which a caller keeps as the
// owner to restore, so restoring it later is harmless.
int32_t SetWindowOwner(const vb::Variant &hWnd, const vb::Variant &hWndOwner);

} // namespace modGlobal
