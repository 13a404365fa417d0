#pragma once
// The no-loss test's source of choices: a small generator whose sequence depends on the seed alone, on
// every machine and library, so that a seed made the same trees and steps anywhere.

#include <cstdint>
#include <vector>

namespace soak {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    // SplitMix64.
    uint64_t Next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // A number from 0 to count - 1 (0 for an empty range).
    size_t Below(size_t count) { return count == 0 ? 0 : static_cast<size_t>(Next() % count); }
    // A number from low to high, both included.
    uint64_t Between(uint64_t low, uint64_t high) { return low + Next() % (high - low + 1); }
    // True with the chance of percent out of a hundred.
    bool Chance(unsigned percent) { return Next() % 100 < percent; }

    template <typename T>
    const T& Pick(const std::vector<T>& from) {
        return from[Below(from.size())];
    }

private:
    uint64_t state_;
};

}  // namespace soak
