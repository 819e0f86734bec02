#include "Compressor.h"

#include "FastMath.h"

#include <algorithm>
#include <cmath>

namespace velorn
{
namespace
{
    constexpr float minimumLevel = 1.0e-9f;
    constexpr float log2Of10Over20 = 0.1660964f;
    constexpr float makeupGlidePerSample = 0.01f;
    constexpr float makeupSnap = 1.0e-5f;

    struct GainComputer
    {
        float thresholdDb, ratio, attackCoef, releaseCoef;

        /** Advances the gain state for one sample's detector peak. */
        float next (float peak, float gain) const noexcept
        {
            const auto levelDb = fastGainToDb (std::max (peak, minimumLevel));
            const auto d = levelDb > thresholdDb
                               ? (thresholdDb + (levelDb - thresholdDb) / ratio - levelDb) * log2Of10Over20
                               : 0.0f;
            const auto target = fastExp2 (std::clamp (d, -24.0f, 8.0f));
            const auto k = gain <= target ? releaseCoef : attackCoef;
            return k * gain + (1.0f - k) * target;
        }
    };

    float glideMakeup (float smoothed, float targetGain) noexcept
    {
        auto m = smoothed + (targetGain - smoothed) * makeupGlidePerSample;

        if (std::abs (targetGain - m) < makeupSnap)
            m = targetGain;

        return m;
    }
}

float processCompressor (const CompressorParameters& comp, CompressorState& state,
                         float* left, float* right, int numSamples) noexcept
{
    const GainComputer computer { comp.thresholdDb, comp.ratio, comp.attackCoef, comp.releaseCoef };
    const auto makeupTarget = comp.makeupGain;
    auto gain = state.compGain;
    auto makeup = state.makeupGainSmoothed;
    auto minimumGain = 1.0f;

    if (right == nullptr)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            gain = computer.next (std::abs (left[i]), gain);
            minimumGain = std::min (minimumGain, gain);
            makeup = glideMakeup (makeup, makeupTarget);
            left[i] *= makeup * gain;
        }
    }
    else
    {
        for (int i = 0; i < numSamples; ++i)
        {
            gain = computer.next (std::max (std::abs (left[i]), std::abs (right[i])), gain);
            minimumGain = std::min (minimumGain, gain);
            makeup = glideMakeup (makeup, makeupTarget);
            const auto g = makeup * gain;
            left[i] *= g;
            right[i] *= g;
        }
    }

    state.compGain = gain;
    state.makeupGainSmoothed = makeup;
    return minimumGain;
}

} // namespace velorn
