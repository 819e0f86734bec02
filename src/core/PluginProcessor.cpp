#include "PluginProcessor.h"

#include "../dsp/SettingsBuilder.h"

VelornAudioProcessor::VelornAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "VelornState", createParameterLayout())
{
    for (const auto* id : velorn::settingParameterIds)
        parameters.addParameterListener (id, this);

    for (size_t i = 0; i < velorn::settingFields.size(); ++i)
    {
        settingValueSources[i] = parameters.getRawParameterValue (velorn::settingFields[i].id);
        jassert (settingValueSources[i] != nullptr);
    }

    gainReductionMeter = parameters.getParameter ("gainReductionMeter");
    outputMeter = parameters.getParameter ("outputMeter");
    gateOpenMeter = parameters.getParameter ("gateOpenMeter");

    for (auto* level : { &inputLevelDb, &outputLevelDb })
        for (auto& v : *level)
            v.store (-100.0f);

    for (auto* ring : { &gateScopeInput, &gateScopeOutput, &gateScopeReductionDb })
        for (auto& v : *ring)
            v.store (0.0f);

    for (auto& v : spectrumFifo)
        v.store (0.0f);
}

VelornAudioProcessor::~VelornAudioProcessor()
{
    for (const auto* id : velorn::settingParameterIds)
        parameters.removeParameterListener (id, this);
}

const juce::String VelornAudioProcessor::getName() const { return "Velorn"; }

void VelornAudioProcessor::prepareToPlay (double sampleRate, int)
{
    preparedSampleRate = sampleRate;
    settingsDirty.store (true);
    strip.reset();
}

void VelornAudioProcessor::releaseResources() {}

void VelornAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const auto numChannels = buffer.getNumChannels();
    const auto numSamples = buffer.getNumSamples();

    if (! buffer.hasBeenCleared())
        for (auto channel = getTotalNumInputChannels(); channel < juce::jmin (getTotalNumOutputChannels(), numChannels); ++channel)
            buffer.clear (channel, 0, numSamples);

    const auto usedChannels = juce::jmin (numChannels, 2);

    if (settingsDirty.exchange (false))
        rebuildPendingSettings();

    const auto settings = pendingSettings;
    const auto feedingSpectrum = usedChannels > 0 && spectrumConsumers.load() > 0;
    const auto spectrumInputPeak = feedingSpectrum ? feedSpectrum (buffer, usedChannels, settings) : 0.0f;

    strip.applyIfChanged (settings);

    if (usedChannels == 0)
        return;

    auto* left = buffer.getWritePointer (0);
    auto* right = usedChannels == 2 ? buffer.getWritePointer (1) : nullptr;
    strip.process (left, right, numSamples);

    publishBlock (numSamples, usedChannels,
                  feedingSpectrum ? spectrumInputPeak : scopeInputPeakFromSignalPath (numSamples, settings));
}

void VelornAudioProcessor::rebuildPendingSettings() noexcept
{
    velorn::SettingValues values;

    for (size_t i = 0; i < velorn::settingFields.size(); ++i)
        values.*(velorn::settingFields[i].member) = settingValueSources[i]->load (std::memory_order_relaxed);

    pendingSettings = velorn::buildKernelSettings (values, preparedSampleRate);
}

double VelornAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool VelornAudioProcessor::acceptsMidi() const { return false; }
bool VelornAudioProcessor::producesMidi() const { return false; }
bool VelornAudioProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* VelornAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

bool VelornAudioProcessor::hasEditor() const { return true; }

int VelornAudioProcessor::getNumPrograms() { return 1; }
int VelornAudioProcessor::getCurrentProgram() { return 0; }
void VelornAudioProcessor::setCurrentProgram (int) {}
const juce::String VelornAudioProcessor::getProgramName (int) { return {}; }
void VelornAudioProcessor::changeProgramName (int, const juce::String&) {}

bool VelornAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();

    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == out;
}

void VelornAudioProcessor::parameterChanged (const juce::String&, float)
{
    settingsDirty.store (true);
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VelornAudioProcessor();
}
