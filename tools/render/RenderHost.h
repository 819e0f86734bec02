#pragma once

#include "core/PluginProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace velorn::render
{

/** The processor a render runs through: the built-in VelornAudioProcessor, or
    a VST3 or LV2 plug-in binary loaded through JUCE's hosting. */
class RenderHost
{
public:
    /** pluginPathOrUri empty: the built-in processor. Throws RenderError. */
    explicit RenderHost (const juce::String& pluginPathOrUri);

    juce::AudioProcessor& getProcessor() noexcept { return *processor; }

    /** The built-in processor, whose published values the meters read; nullptr when hosting. */
    VelornAudioProcessor* getBuiltIn() noexcept { return builtIn; }

    /** Sets a parameter by identifier (or, for other plug-ins, by name) from a
        value in plain units. Throws RenderError. */
    void setParameter (const juce::String& idOrName, const juce::String& valueText);

    void loadState (const juce::File& file);
    void saveState (const juce::File& file);

    /** One line per parameter: identifier, name, range, default and unit. */
    juce::String describeParameters();

private:
    juce::AudioProcessorParameter* findParameter (const juce::String& idOrName) const;

    std::unique_ptr<juce::AudioProcessor> processor;
    VelornAudioProcessor* builtIn = nullptr;
};

} // namespace velorn::render
