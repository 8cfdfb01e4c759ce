#pragma once
// A small random source of our own (SplitMix64): the same seed gives the same numbers on every
// platform and compiler, which the standard library's distributions do not promise.

#include <cstddef>
#include <cstdint>

namespace tallymark::differential {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = state_ += 0x9E3779B97F4A7C15ull;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 to bound - 1; the slight bias of the remainder does not matter here.
    std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }

    bool Percent(std::uint32_t chance) { return Below(100) < chance; }

    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(static_cast<std::uint32_t>(N))];
    }

private:
    std::uint64_t state_;
};

// The random source of one case, so that a case can be made again from its seed and index alone.
inline Random CaseRandom(std::uint64_t seed, std::uint64_t index)
{
    Random mixer(seed ^ (index * 0xD1B54A32D192ED03ull));
    return Random(mixer.Next());
}

} // namespace tallymark::differential
