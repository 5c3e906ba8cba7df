#pragma once
// Tables of named rows: a row with a `name` field prints as that name, and a
// suite instantiated with `byName` names each of its tests after its row.
// Files bring the printer in with `using vok::test::PrintTo;` next to their rows.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vok::test {

template <class Row>
    requires requires(const Row &row) { std::string(row.name); }
void PrintTo(const Row &row, std::ostream *os)
{
    *os << row.name;
}

inline constexpr auto byName = [](const auto &info) { return std::string(info.param.name); };

} // namespace vok::test
