#pragma once

#include "ChannelState.h"
#include "Compressor.h"
#include "KernelSettings.h"
#include "ModuleOrder.h"
#include "SectionCascade.h"

#include <array>

namespace velorn
{

/** The whole signal path of one plug-in instance: the applied settings, the
    state of both processed channels, the compressor and the block results.
    It knows nothing of parameters, hosts or windows; the processor feeds it
    settings records and the first one or two channels of each block. */
class ChannelStrip
{
public:
    ChannelStrip() noexcept { reset(); }

    /** Neutral settings, cleared filter and gate states, unity compressor and
        empty block results: the state that preparing for playback starts from. */
    void reset() noexcept;

    /** Applies a record when its tag is right, its checksum differs from the
        applied one and verifies. Returns whether it was applied. */
    bool applyIfChanged (const KernelSettings& record) noexcept;

    /** Processes one block in place. right is nullptr for a mono buffer.
        A block of zero samples leaves every result as it was. */
    void process (float* left, float* right, int numSamples) noexcept;

    const KernelSettings& getActiveSettings() const noexcept   { return activeSettings; }
    const ChannelState& getChannelState (int channel) const noexcept { return channelState[(size_t) channel]; }
    const CompressorState& getCompressorState() const noexcept { return compressorState; }
    std::uint32_t getAppliedChecksum() const noexcept          { return appliedChecksum; }
    float getGateThresholdLinear() const noexcept              { return gateThresholdLinear; }
    int getModuleChainLength() const noexcept                  { return moduleChainLength; }
    int getModuleChainEntry (int index) const noexcept         { return moduleChain[(size_t) index]; }

    /** Results of the latest processed block. */
    bool isGateOpen() const noexcept                           { return gateOpenState != 0; }
    float getBlockInputPeak() const noexcept                   { return blockInputPeak; }
    float getBlockOutputPeak() const noexcept                  { return blockOutputPeak; }
    /** The largest |sample| of one processed output channel over the latest block. */
    float getOutputChannelPeak (int channel) const noexcept    { return outputChannelPeak[(size_t) channel]; }
    /** The compressor's lowest gain of the block in dB: 0 or negative; 0 while it is off. */
    float getCompReductionDb() const noexcept                  { return blockCompReductionDb; }
    /** The gate's lowest gain of the block in dB: 0 or negative; 0 while it is off. */
    float getGateGainDb() const noexcept                       { return blockGateGainDb; }

private:
    void processBypass (float* left, float* right, int numSamples) noexcept;
    void runInputStage (float* samples, int numSamples) noexcept;
    void runOutputStage (float* samples, int channel, int numSamples) noexcept;
    void runGate (float* left, float* right, int numSamples) noexcept;
    void runCompressor (float* left, float* right, int numSamples) noexcept;
    void resetNonFiniteStates() noexcept;

    KernelSettings activeSettings {};
    std::array<ChannelState, 2> channelState {};
    CompressorState compressorState;

    std::uint32_t appliedChecksum = 0;
    int gateOpenState = 1;
    float gateThresholdLinear = 0.0f;
    ModuleSlots moduleSlots { 0, 1, 2, 3 };
    std::array<int, 3> moduleChain {};
    int moduleChainLength = 0;
    std::array<int, 6> activeBands {};
    int activeBandCount = 0;
    SectionCascade eqSections;

    float blockMinCompGain = 0.0f;
    float blockMinGateGain = 0.0f;
    float blockInputPeak = 0.0f;
    float blockOutputPeak = 0.0f;
    std::array<float, 2> outputChannelPeak {};
    float blockCompReductionDb = 0.0f;
    float blockGateGainDb = 0.0f;
};

} // namespace velorn
