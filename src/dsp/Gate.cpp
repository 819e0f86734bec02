#include "Gate.h"

#include "FastMath.h"

#include <algorithm>
#include <cmath>

namespace velorn
{
namespace
{
    constexpr float openTarget = 0.999f;
    constexpr float log2Of10Over20 = 0.1660964f;
}

float gateThresholdToLinear (float thresholdDb) noexcept
{
    return fastExp2 (std::clamp (thresholdDb * log2Of10Over20, -24.0f, 8.0f));
}

namespace
{
    /** One channel's detector and gain, advanced one sample at a time. */
    struct GateChannel
    {
        GateChannel (const GateParameters& p, ChannelState& state) noexcept
            : gate (p),
              detectorInput (1.0f - p.detectorCoef),
              releaseInput (1.0f - p.releaseCoef),
              attackInput (1.0f - p.attackCoef),
              e (state.gateEnvelope),
              g (state.gateGain)
        {
        }

        float next (float s) noexcept
        {
            const auto a = std::abs (s);
            e = a > e ? a : a * detectorInput + e * gate.detectorCoef;
            target = e >= gate.thresholdLinear ? 1.0f : gate.range;

            // Both ways of moving are worked out and one is kept: the same
            // numbers as choosing the coefficient first, with the choice off
            // the gain's critical path.
            const auto falling = gate.releaseCoef * g + releaseInput * target;
            const auto rising = gate.attackCoef * g + attackInput * target;
            g = target <= g ? falling : rising;
            minimumGain = std::min (minimumGain, g);
            return s * g;
        }

        void store (ChannelState& state) const noexcept
        {
            state.gateEnvelope = e;
            state.gateGain = g;
        }

        const GateParameters& gate;
        const float detectorInput, releaseInput, attackInput;
        float e, g;
        float target = 1.0f;
        float minimumGain = 1.0f;
    };
}

GateBlockResult processGate (const GateParameters& gate, std::array<ChannelState, 2>& channels,
                             float* left, float* right, int numSamples) noexcept
{
    GateChannel l (gate, channels[0]);

    if (right == nullptr)
    {
        for (int i = 0; i < numSamples; ++i)
            left[i] = l.next (left[i]);

        l.store (channels[0]);
        return { l.minimumGain, l.target >= openTarget };
    }

    // Both channels in one loop: their recursions are independent and overlap.
    GateChannel r (gate, channels[1]);

    for (int i = 0; i < numSamples; ++i)
    {
        left[i] = l.next (left[i]);
        right[i] = r.next (right[i]);
    }

    l.store (channels[0]);
    r.store (channels[1]);
    return { std::min (l.minimumGain, r.minimumGain), l.target >= openTarget || r.target >= openTarget };
}

} // namespace velorn
