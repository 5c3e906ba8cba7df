#pragma once
// The number of the platform error an action raises, 0 when it raises none:
// for tests that check which error a refused call gives.

#include "platform/vb/error.h"

#include <functional>

namespace vok::test {

inline int errorNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const vb::Error &error) {
        return error.number();
    }
    return 0;
}

} // namespace vok::test
