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

    constexpr int chunkSize = 256;

    /** The gain the compressor heads for at one sample's detector peak: the
        static curve with a hard knee, computed in dB and turned back into a
        linear gain. It does not depend on the gain state, so a whole chunk of
        targets is computed before the ballistics run. */
    struct GainComputer
    {
        float thresholdDb, ratio;

        float target (float peak) const noexcept
        {
            const auto levelDb = fastGainToDb (std::max (peak, minimumLevel));
            const auto d = levelDb > thresholdDb
                               ? (thresholdDb + (levelDb - thresholdDb) / ratio - levelDb) * log2Of10Over20
                               : 0.0f;
            return fastExp2 (std::clamp (d, -24.0f, 8.0f));
        }

        /** target() for four peaks, with std::max, std::clamp and the knee's
            choice written as the same comparisons lane by lane. */
        Float4 target (Float4 peak) const noexcept
        {
            const auto floor = splat4 (minimumLevel);
            const auto levelDb = fastGainToDb (max4 (peak, floor));
            const auto above = levelDb > thresholdDb;
            const auto d = select (above, (thresholdDb + (levelDb - thresholdDb) / ratio - levelDb) * log2Of10Over20, Float4 {});
            const auto low = splat4 (-24.0f), high = splat4 (8.0f);
            return fastExp2 (select (d < low, low, select (high < d, high, d)));
        }
    };

    /** The gain computer's targets for a chunk, four at a time. */
    void computeTargets (const GainComputer& computer, const float* l, const float* r, float* targets, int n) noexcept
    {
        int i = 0;

        for (; i + 4 <= n; i += 4)
        {
            auto peak = abs4 (load4 (l + i));

            if (r != nullptr)
            {
                peak = max4 (peak, abs4 (load4 (r + i)));
            }

            store4 (targets + i, computer.target (peak));
        }

        for (; i < n; ++i)
            targets[i] = computer.target (r != nullptr ? std::max (std::abs (l[i]), std::abs (r[i])) : std::abs (l[i]));
    }

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
    const GainComputer computer { comp.thresholdDb, comp.ratio };
    const auto attack = comp.attackCoef, release = comp.releaseCoef;
    const auto attackInput = 1.0f - attack, releaseInput = 1.0f - release;
    const auto makeupTarget = comp.makeupGain;
    auto gain = state.compGain;
    auto makeup = state.makeupGainSmoothed;
    auto minimumGain = 1.0f;
    float targets[chunkSize];

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const auto n = std::min (chunkSize, numSamples - start);
        auto* l = left + start;
        auto* r = right != nullptr ? right + start : nullptr;

        computeTargets (computer, l, r, targets, n);

        // Once the make-up has arrived, each glide step gives back the target
        // exactly, so the glide is skipped until the target moves.
        const auto makeupSettled = makeup == makeupTarget;

        for (int i = 0; i < n; ++i)
        {
            // Both ballistics are worked out and one is kept: the same numbers
            // as choosing the coefficient first, with the choice off the
            // gain's critical path.
            const auto target = targets[i];
            const auto rising = release * gain + releaseInput * target;
            const auto falling = attack * gain + attackInput * target;
            gain = gain <= target ? rising : falling;
            minimumGain = std::min (minimumGain, gain);

            if (! makeupSettled)
                makeup = glideMakeup (makeup, makeupTarget);

            const auto g = makeup * gain;
            l[i] *= g;

            if (r != nullptr)
                r[i] *= g;
        }
    }

    state.compGain = gain;
    state.makeupGainSmoothed = makeup;
    return minimumGain;
}

} // namespace velorn
