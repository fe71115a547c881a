#pragma once

#include <cstdint>

// The pseudo-random sequence of the Microsoft C runtime's srand/rand, which
// the essay scorer's structure deduction is defined by: the state advances as
// state * 214013 + 2531011 (mod 2^32), and each value is bits 16..30 of it.
class CrtRandom
{
public:
    static constexpr int RandMax = 0x7FFF;

    explicit CrtRandom(std::uint32_t seed = 1) : m_state(seed) {}

    void Seed(std::uint32_t seed) { m_state = seed; }
    int Next();

private:
    std::uint32_t m_state;
};
