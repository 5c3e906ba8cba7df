// A small random generator whose output depends on the seed alone. The
// catalogue must come out the same for the same seed on every machine and
// standard library, which rules out <random> distributions; only integer
// arithmetic is used here.
#pragma once

#include <cstdint>

namespace vok::catalogue {

class SplitMix64
{
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound); the tiny modulo bias is irrelevant for test data.
    std::uint32_t below(std::uint32_t bound) { return bound == 0 ? 0 : static_cast<std::uint32_t>(next() % bound); }

    // Uniform in [lo, hi].
    std::int64_t between(std::int64_t lo, std::int64_t hi)
    {
        return lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }

    // True with the given chance in percent.
    bool percent(std::uint32_t chance) { return below(100) < chance; }

private:
    std::uint64_t m_state;
};

} // namespace vok::catalogue
