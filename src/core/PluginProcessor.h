#pragma once

#include "../dsp/ChannelStrip.h"
#include "../dsp/KernelSettings.h"
#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cstdint>

/** The plug-in: host identity, parameters, saved state, the block driver and
    the values it publishes for the editor and the host's meters. The signal
    path itself lives in velorn::ChannelStrip. */
class VelornAudioProcessor : public juce::AudioProcessor,
                             public juce::AudioProcessorValueTreeState::Listener
{
public:
    VelornAudioProcessor();
    ~VelornAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void parameterChanged (const juce::String& parameterID, float newValue) override;

    /** Called by an EQ display as it appears and goes; mirrored into the
        host-visible "dspAnalyserActive" parameter. Message thread only. */
    void setSpectrumDisplayActive (bool active);

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    juce::AudioProcessorValueTreeState parameters;

    /** True from a change of any setting until the next block takes it up. */
    bool isSettingsChangePending() const noexcept { return settingsDirty.load(); }

    /** The signal path, for inspection by tests and tools (audio thread owns it). */
    const velorn::ChannelStrip& getChannelStrip() const noexcept { return strip; }

    // Values published after every block; read them with atomic loads.
    static constexpr int gateScopeSize = 256;
    static constexpr int spectrumFifoSize = 2048;

    std::array<std::atomic<float>, 2> inputLevelDb;
    std::array<std::atomic<float>, 2> outputLevelDb;
    std::atomic<float> compReductionDb { 0.0f };
    std::atomic<float> gateGainDb { 0.0f };
    std::atomic<bool> gateOpen { true };
    std::array<std::atomic<float>, gateScopeSize> gateScopeInput;
    std::array<std::atomic<float>, gateScopeSize> gateScopeOutput;
    std::array<std::atomic<float>, gateScopeSize> gateScopeReductionDb;
    std::atomic<std::uint64_t> gateScopeWritePos { 0 };
    std::array<std::atomic<float>, spectrumFifoSize> spectrumFifo;
    std::atomic<std::uint64_t> spectrumWritePos { 0 };
    std::atomic<int> spectrumConsumers { 0 };

private:
    void rebuildPendingSettings() noexcept;
    /** Writes the block's mono mix into the spectrum FIFO and returns the
        input peak after gain that the gate scope shows. */
    float feedSpectrum (const juce::AudioBuffer<float>& buffer, int usedChannels,
                        const velorn::KernelSettings& settings) noexcept;
    float scopeInputPeakFromSignalPath (int numSamples, const velorn::KernelSettings& settings) const noexcept;
    void publishBlock (int numSamples, int usedChannels, float scopeInputPeak) noexcept;

    velorn::ChannelStrip strip;
    velorn::KernelSettings pendingSettings {};
    std::atomic<bool> settingsDirty { true };
    double preparedSampleRate = 44100.0;
    bool spectrumDisplayActive = false;

    /** Plain values of the sound-shaping parameters, resolved once. */
    std::array<std::atomic<float>*, velorn::settingFields.size()> settingValueSources {};
    juce::RangedAudioParameter* gainReductionMeter = nullptr;
    juce::RangedAudioParameter* outputMeter = nullptr;
    juce::RangedAudioParameter* gateOpenMeter = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelornAudioProcessor)
};
