#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace velorn::test
{

/** Deterministic uniform noise in [-amplitude, amplitude]. */
inline std::vector<float> noise (int numSamples, float amplitude, std::uint32_t seed)
{
    std::vector<float> out ((size_t) numSamples);
    auto state = seed * 2654435761u + 12345u;

    for (auto& v : out)
    {
        state = state * 1664525u + 1013904223u;
        v = amplitude * (static_cast<float> (state >> 8) / static_cast<float> (1u << 24) * 2.0f - 1.0f);
    }

    return out;
}

inline std::vector<float> sine (int numSamples, double frequency, double sampleRate, float amplitude)
{
    std::vector<float> out ((size_t) numSamples);
    const double twoPi = 6.283185307179586;

    for (size_t i = 0; i < out.size(); ++i)
        out[i] = amplitude * static_cast<float> (std::sin (twoPi * frequency * (double) i / sampleRate));

    return out;
}

/** Magnitude in dB at one frequency of an impulse response (a single-bin DFT). */
inline double responseDb (const std::vector<float>& impulseResponse, double frequency, double sampleRate)
{
    double re = 0.0, im = 0.0;
    const double w = 6.283185307179586 * frequency / sampleRate;

    for (size_t n = 0; n < impulseResponse.size(); ++n)
    {
        re += impulseResponse[n] * std::cos (w * (double) n);
        im -= impulseResponse[n] * std::sin (w * (double) n);
    }

    return 10.0 * std::log10 (re * re + im * im);
}

inline float peak (const float* samples, size_t numSamples)
{
    float p = 0.0f;

    for (size_t i = 0; i < numSamples; ++i)
        p = std::max (p, std::abs (samples[i]));

    return p;
}

} // namespace velorn::test
