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

GateBlockResult processGateChannel (const GateParameters& gate, ChannelState& channel,
                                    float* samples, int numSamples) noexcept
{
    const auto detectorCoef = gate.detectorCoef;
    const auto detectorInput = 1.0f - detectorCoef;
    auto e = channel.gateEnvelope;
    auto g = channel.gateGain;
    auto minimumGain = 1.0f;
    auto target = 1.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto s = samples[i];
        const auto a = std::abs (s);
        e = a > e ? a : a * detectorInput + e * detectorCoef;
        target = e >= gate.thresholdLinear ? 1.0f : gate.range;
        const auto k = target <= g ? gate.releaseCoef : gate.attackCoef;
        g = k * g + (1.0f - k) * target;
        samples[i] = s * g;
        minimumGain = std::min (minimumGain, g);
    }

    channel.gateEnvelope = e;
    channel.gateGain = g;
    return { minimumGain, target >= openTarget };
}

} // namespace velorn
