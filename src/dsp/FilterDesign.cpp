#include "FilterDesign.h"

#include <algorithm>
#include <array>
#include <cmath>

// The arithmetic below follows JUCE's coefficient makers operation for
// operation, so that the float results are the same bits; a test checks them
// against JUCE's own objects. Build with contraction off (no FMA fusing).

namespace velorn::FilterDesign
{
namespace
{
    constexpr float pi = static_cast<float> (3.141592653589793238L);
    constexpr float inverseRootTwo = static_cast<float> (0.70710678118654752440L);
    constexpr float minimumShelfFrequency = 2.0f;
    constexpr float minimumGainFactor = 1.0e-15f;   // -300 dB

    /** b0, b1, b2, a0, a1, a2 divided through by a0, as JUCE stores them. */
    BiquadCoefficients normalise (const std::array<float, 6>& raw) noexcept
    {
        const auto a0 = raw[3];
        const auto a0Inv = a0 != 0.0f ? 1.0f / a0 : 0.0f;
        return { raw[0] * a0Inv, raw[1] * a0Inv, raw[2] * a0Inv, raw[4] * a0Inv, raw[5] * a0Inv };
    }

    float shelfOmega (double sampleRate, float frequency) noexcept
    {
        return (2 * pi * std::max (frequency, minimumShelfFrequency)) / static_cast<float> (sampleRate);
    }

    float shelfAmplitude (float gainFactor) noexcept
    {
        return std::max (0.0f, std::sqrt (std::max (gainFactor, minimumGainFactor)));
    }

    /** The terms both shelves share, computed as JUCE's makers compute them. */
    struct ShelfTerms
    {
        ShelfTerms (double sampleRate, float frequency, float q, float gainFactor) noexcept
            : A (shelfAmplitude (gainFactor)),
              aminus1 (A - 1),
              aplus1 (A + 1),
              coso (std::cos (shelfOmega (sampleRate, frequency))),
              beta (std::sin (shelfOmega (sampleRate, frequency)) * std::sqrt (A) / q),
              aminus1TimesCoso (aminus1 * coso)
        {
        }

        float A, aminus1, aplus1, coso, beta, aminus1TimesCoso;
    };
}

BiquadCoefficients makeHighPass (double sampleRate, float frequency) noexcept
{
    const auto n = std::tan (pi * frequency / static_cast<float> (sampleRate));
    const auto nSquared = n * n;
    const auto invQ = 1 / inverseRootTwo;
    const auto c1 = 1 / (1 + invQ * n + nSquared);

    return normalise ({ c1, c1 * -2, c1,
                        1, c1 * 2 * (nSquared - 1),
                        c1 * (1 - invQ * n + nSquared) });
}

BiquadCoefficients makeLowPass (double sampleRate, float frequency) noexcept
{
    const auto n = 1 / std::tan (pi * frequency / static_cast<float> (sampleRate));
    const auto nSquared = n * n;
    const auto invQ = 1 / inverseRootTwo;
    const auto c1 = 1 / (1 + invQ * n + nSquared);

    return normalise ({ c1, c1 * 2, c1,
                        1, c1 * 2 * (1 - nSquared),
                        c1 * (1 - invQ * n + nSquared) });
}

BiquadCoefficients makeLowShelf (double sampleRate, float frequency, float q, float gainFactor) noexcept
{
    const ShelfTerms t (sampleRate, frequency, q, gainFactor);
    const auto A = t.A, aplus1 = t.aplus1, aminus1 = t.aminus1, coso = t.coso, beta = t.beta;
    const auto aminus1TimesCoso = t.aminus1TimesCoso;

    return normalise ({ A * (aplus1 - aminus1TimesCoso + beta),
                        A * 2 * (aminus1 - aplus1 * coso),
                        A * (aplus1 - aminus1TimesCoso - beta),
                        aplus1 + aminus1TimesCoso + beta,
                        -2 * (aminus1 + aplus1 * coso),
                        aplus1 + aminus1TimesCoso - beta });
}

BiquadCoefficients makeHighShelf (double sampleRate, float frequency, float q, float gainFactor) noexcept
{
    const ShelfTerms t (sampleRate, frequency, q, gainFactor);
    const auto A = t.A, aplus1 = t.aplus1, aminus1 = t.aminus1, coso = t.coso, beta = t.beta;
    const auto aminus1TimesCoso = t.aminus1TimesCoso;

    return normalise ({ A * (aplus1 + aminus1TimesCoso + beta),
                        A * -2 * (aminus1 + aplus1 * coso),
                        A * (aplus1 + aminus1TimesCoso - beta),
                        aplus1 - aminus1TimesCoso + beta,
                        2 * (aminus1 - aplus1 * coso),
                        aplus1 - aminus1TimesCoso - beta });
}

BiquadCoefficients makePeakFilter (double sampleRate, float frequency, float q, float gainFactor) noexcept
{
    const auto A = shelfAmplitude (gainFactor);
    const auto omega = shelfOmega (sampleRate, frequency);
    const auto alpha = std::sin (omega) / (q * 2);
    const auto c2 = -2 * std::cos (omega);
    const auto alphaTimesA = alpha * A;
    const auto alphaOverA = alpha / A;

    return normalise ({ 1 + alphaTimesA, c2, 1 - alphaTimesA, 1 + alphaOverA, c2, 1 - alphaOverA });
}

} // namespace velorn::FilterDesign
