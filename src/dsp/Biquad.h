#pragma once

#include "KernelSettings.h"

namespace velorn
{

/** Runs one transposed direct form II section over a block, in place:
    y = b0 x + s1;  s1 = b1 x - a1 y + s2;  s2 = b2 x - a2 y. */
inline void runBiquad (const BiquadCoefficients& c, std::array<float, 2>& state, float* samples, int numSamples) noexcept
{
    const auto b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[3], a2 = c[4];
    auto s1 = state[0];
    auto s2 = state[1];

    for (int i = 0; i < numSamples; ++i)
    {
        const auto x = samples[i];
        const auto y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        samples[i] = y;
    }

    state[0] = s1;
    state[1] = s2;
}

} // namespace velorn
