#pragma once
// The platform error an action raises: for tests that check which error a
// refused call gives, and what it says.

#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <functional>

namespace vok::test {

// The number of the error, 0 when the action raises none.
inline int errorNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const vb::Error &error) {
        return error.number();
    }
    return 0;
}

// The error itself; when the action raises none the test fails and the error
// returned is numbered 0.
inline vb::Error errorRaisedBy(const std::function<void()> &action)
{
    try {
        action();
    } catch (const vb::Error &error) {
        return error;
    }
    ADD_FAILURE() << "no error raised";
    return vb::Error(0, {});
}

} // namespace vok::test
