#pragma once

// Seeded random numbers that come out the same on every machine: splitmix64
// for the bits and our own Box-Muller for normal deviates (the standard
// library's distributions are implementation-defined).

#include <cstdint>

class GelRandom
{
public:
    explicit GelRandom(uint64_t seed) : m_state(seed) { }

    uint64_t next();
    // Uniform in [0, 1), 53 bits.
    double uniform();
    // Standard normal deviate; Box-Muller, each pair used in full.
    double normal();

private:
    uint64_t m_state;
    double m_spare = 0.0;
    bool m_hasSpare = false;
};
