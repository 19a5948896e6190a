#pragma once

#include <cstdint>

namespace zumzik {

// The program's one source of chance: a 32-bit linear congruential generator. Reply draws, the
// opening line and the exit protest all take their numbers from one instance, so every draw moves
// the sequence on for all the others.
class RandomGenerator {
public:
    std::uint32_t seed() const { return m_seed; }
    void setSeed(std::uint32_t seed) { m_seed = seed; }

    // One step of the generator, then a number from 0 to n - 1 (0 when n is 0).
    std::uint32_t randomBelow(std::uint32_t n) {
        m_seed = m_seed * 134775813u + 1u;
        return static_cast<std::uint32_t>((std::uint64_t{n} * m_seed) >> 32);
    }

private:
    std::uint32_t m_seed = 0;
};

} // namespace zumzik
