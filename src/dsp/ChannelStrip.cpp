#include "ChannelStrip.h"

#include "FastMath.h"
#include "Gate.h"

#include <algorithm>
#include <cmath>

namespace velorn
{
namespace
{
    constexpr float minimumLevel = 1.0e-9f;

    /** Limits a value to [low, high]; a NaN becomes the lower limit. */
    float limit (float value, float low, float high) noexcept
    {
        if (! (value >= low))
            return low;

        return value > high ? high : value;
    }

    std::int32_t asSwitch (std::int32_t value) noexcept { return value != 0 ? 1 : 0; }

    float maxOfLanes (Float4 v, float peak) noexcept
    {
        for (int i = 0; i < 4; ++i)
            peak = std::max (peak, v[i]);

        return peak;
    }

    /** Scales a block by a gain and returns the largest magnitude seen, taken
        before the gain (measureBefore) or after it. The largest of a set does
        not depend on the order it is taken in, so four lanes give the same
        result as one sample after the other. */
    float scaleAndMeasure (float* samples, int numSamples, float gain, bool measureBefore, float peak) noexcept
    {
        const auto g = splat4 (gain);
        auto peaks = splat4 (peak);
        int i = 0;

        for (; i + 4 <= numSamples; i += 4)
        {
            const auto x = load4 (samples + i);
            const auto y = x * g;
            peaks = max4 (peaks, abs4 (measureBefore ? x : y));
            store4 (samples + i, y);
        }

        peak = maxOfLanes (peaks, peak);

        for (; i < numSamples; ++i)
        {
            const auto x = samples[i];
            const auto y = x * gain;
            peak = std::max (peak, std::abs (measureBefore ? x : y));
            samples[i] = y;
        }

        return peak;
    }

    float peakOf (const float* samples, int numSamples, float peak) noexcept
    {
        auto peaks = splat4 (peak);
        int i = 0;

        for (; i + 4 <= numSamples; i += 4)
            peaks = max4 (peaks, abs4 (load4 (samples + i)));

        peak = maxOfLanes (peaks, peak);

        for (; i < numSamples; ++i)
            peak = std::max (peak, std::abs (samples[i]));

        return peak;
    }

    bool isFinite (float v) noexcept { return std::isfinite (v); }
}

void ChannelStrip::reset() noexcept
{
    activeSettings = makeNeutralSettings();

    for (auto& channel : channelState)
        channel = ChannelState {};

    compressorState = CompressorState {};
    blockMinCompGain = blockMinGateGain = blockInputPeak = blockOutputPeak = 0.0f;
    outputChannelPeak = {};
    blockCompReductionDb = blockGateGainDb = 0.0f;

    appliedChecksum = 0;
    gateOpenState = 1;
    gateThresholdLinear = gateThresholdToLinear (-45.0f);
    moduleChainLength = 0;
    activeBandCount = 0;
    moduleSlots = { 0, 1, 2, 3 };
}

bool ChannelStrip::applyIfChanged (const KernelSettings& r) noexcept
{
    if (r.settingsTag != kernelSettingsTag || r.settingsChecksum == appliedChecksum)
        return false;

    if (computeSettingsChecksum (r) != r.settingsChecksum)
        return false;

    auto& s = activeSettings;
    s = r;

    for (auto* field : { &s.bypass, &s.phase, &s.filtersOn, &s.highPassOn, &s.lowPassOn, &s.gateOn, &s.eqOn,
                         &s.lowOn, &s.lowMidOn, &s.mid1On, &s.mid2On, &s.highMidOn, &s.highOn, &s.compressorOn })
        *field = asSwitch (*field);

    s.moduleOrder = std::clamp (s.moduleOrder, 0, numModuleOrders - 1);
    s.inputGain = limit (s.inputGain, 0.01f, 16.0f);
    s.outputGain = limit (s.outputGain, 0.01f, 16.0f);
    s.gateThresholdDb = limit (s.gateThresholdDb, -80.0f, 0.0f);
    s.gateRange = limit (s.gateRange, 0.0001f, 1.0f);
    s.gateAttackCoef = limit (s.gateAttackCoef, 0.0f, 1.0f);
    s.gateReleaseCoef = limit (s.gateReleaseCoef, 0.0f, 1.0f);
    s.gateDetectorCoef = limit (s.gateDetectorCoef, 0.0f, 1.0f);
    s.compThresholdDb = limit (s.compThresholdDb, -50.0f, 0.0f);
    s.compRatio = limit (s.compRatio, 1.0f, 20.0f);
    s.compAttackCoef = limit (s.compAttackCoef, 0.0f, 1.0f);
    s.compReleaseCoef = limit (s.compReleaseCoef, 0.0f, 1.0f);
    s.makeupGain = limit (s.makeupGain, 1.0f, 16.0f);

    if (s.compressorOn == 0)
        compressorState = CompressorState {};

    activeBandCount = 0;

    for (const auto [on, slot] : { std::pair { s.lowOn, lowShelf }, std::pair { s.lowMidOn, lowMid },
                                   std::pair { s.mid1On, mid1 }, std::pair { s.mid2On, mid2 },
                                   std::pair { s.highMidOn, highMid }, std::pair { s.highOn, highShelf } })
        if (on != 0)
            activeBands[(size_t) activeBandCount++] = slot;

    gateThresholdLinear = gateThresholdToLinear (s.gateThresholdDb);

    // The EQ module's sections in running order: the two filters, then the bands.
    std::array<int, numFilterSlots> eqOrder {};
    auto eqCount = 0;

    if (s.filtersOn != 0)
    {
        if (s.highPassOn != 0) eqOrder[(size_t) eqCount++] = lowCut;
        if (s.lowPassOn != 0)  eqOrder[(size_t) eqCount++] = highCut;
    }

    if (s.eqOn != 0)
        for (int b = 0; b < activeBandCount; ++b)
            eqOrder[(size_t) eqCount++] = activeBands[(size_t) b];

    eqSections.configure (eqOrder.data(), eqCount, s.coefficients);

    moduleSlots = decodeModuleOrder (s.moduleOrder);
    moduleChainLength = 0;

    for (const auto slot : moduleSlots)
    {
        const auto inChain = (slot == gate && s.gateOn != 0)
                          || (slot == eq && ((s.filtersOn != 0 && (s.highPassOn != 0 || s.lowPassOn != 0))
                                             || (s.eqOn != 0 && activeBandCount > 0)))
                          || (slot == compressor && s.compressorOn != 0);

        if (inChain)
            moduleChain[(size_t) moduleChainLength++] = slot;
    }

    appliedChecksum = r.settingsChecksum;
    return true;
}

void ChannelStrip::process (float* left, float* right, int numSamples) noexcept
{
    if (numSamples <= 0)
        return;

    blockMinCompGain = 1.0f;
    blockMinGateGain = 1.0f;
    blockInputPeak = 0.0f;
    blockOutputPeak = 0.0f;

    if (activeSettings.bypass != 0)
    {
        processBypass (left, right, numSamples);
        return;
    }

    runInputStage (left, numSamples);

    if (right != nullptr)
        runInputStage (right, numSamples);

    for (int i = 0; i < moduleChainLength; ++i)
    {
        switch (moduleChain[(size_t) i])
        {
            case gate:
                runGate (left, right, numSamples);
                break;

            case eq:
                eqSections.process (left, right, channelState, numSamples);
                break;

            case compressor:
                runCompressor (left, right, numSamples);
                break;

            default:
                break;
        }
    }

    runOutputStage (left, 0, numSamples);
    outputChannelPeak[1] = outputChannelPeak[0];

    if (right != nullptr)
        runOutputStage (right, 1, numSamples);

    blockGateGainDb = activeSettings.gateOn != 0 ? fastGainToDb (std::max (blockMinGateGain, minimumLevel)) : 0.0f;
    blockCompReductionDb = activeSettings.compressorOn != 0 ? fastGainToDb (std::max (blockMinCompGain, minimumLevel)) : 0.0f;

    resetNonFiniteStates();
}

void ChannelStrip::processBypass (float* left, float* right, int numSamples) noexcept
{
    outputChannelPeak[0] = peakOf (left, numSamples, 0.0f);
    outputChannelPeak[1] = right != nullptr ? peakOf (right, numSamples, 0.0f) : outputChannelPeak[0];
    const auto peak = std::max (outputChannelPeak[0], outputChannelPeak[1]);

    blockInputPeak = peak;
    blockOutputPeak = peak;
    gateOpenState = 1;
    compressorState = CompressorState {};
    blockCompReductionDb = 0.0f;
    blockGateGainDb = 0.0f;
}

void ChannelStrip::runInputStage (float* samples, int numSamples) noexcept
{
    const auto g = activeSettings.phase != 0 ? -activeSettings.inputGain : activeSettings.inputGain;
    blockInputPeak = scaleAndMeasure (samples, numSamples, g, true, blockInputPeak);
}

void ChannelStrip::runOutputStage (float* samples, int channel, int numSamples) noexcept
{
    const auto peak = scaleAndMeasure (samples, numSamples, activeSettings.outputGain, false, 0.0f);
    outputChannelPeak[(size_t) channel] = peak;
    blockOutputPeak = std::max (blockOutputPeak, peak);
}

void ChannelStrip::runGate (float* left, float* right, int numSamples) noexcept
{
    const GateParameters gate { gateThresholdLinear, activeSettings.gateRange, activeSettings.gateAttackCoef,
                                activeSettings.gateReleaseCoef, activeSettings.gateDetectorCoef };

    const auto result = processGate (gate, channelState, left, right, numSamples);
    blockMinGateGain = std::min (blockMinGateGain, result.minimumGain);
    gateOpenState = result.openAtEnd ? 1 : 0;
}

void ChannelStrip::runCompressor (float* left, float* right, int numSamples) noexcept
{
    const CompressorParameters comp { activeSettings.compThresholdDb, activeSettings.compRatio,
                                      activeSettings.compAttackCoef, activeSettings.compReleaseCoef,
                                      activeSettings.makeupGain };
    blockMinCompGain = std::min (blockMinCompGain, processCompressor (comp, compressorState, left, right, numSamples));
}

void ChannelStrip::resetNonFiniteStates() noexcept
{
    // One NaN or infinite sample would otherwise stay in a recursive state for
    // good. A state that is no longer finite restarts from where preparing
    // for playback puts it; finite states are never touched.
    for (auto& channel : channelState)
    {
        for (auto& section : channel.biquadState)
            if (! (isFinite (section[0]) && isFinite (section[1])))
                section = { 0.0f, 0.0f };

        if (! (isFinite (channel.gateEnvelope) && isFinite (channel.gateGain)))
        {
            channel.gateEnvelope = 0.0f;
            channel.gateGain = 1.0f;
        }
    }

    if (! (isFinite (compressorState.compGain) && isFinite (compressorState.makeupGainSmoothed)))
        compressorState = CompressorState {};
}

} // namespace velorn
