#pragma once

#include <juce_core/juce_core.h>

#include <utility>
#include <vector>

namespace velorn::render
{

struct RenderOptions
{
    juce::File input;
    juce::File output;
    bool demo = false;
    bool listParameters = false;
    int blockSize = 512;
    int bitsPerSample = 32;
    std::vector<std::pair<juce::String, juce::String>> settings;   ///< identifier or name, value text
    juce::File stateFile;
    juce::File saveStateFile;
    juce::File metersFile;
    juce::String plugin;   ///< path of a VST3 or LV2 bundle, or an LV2 URI; empty for the built-in processor
};

/** Parses the arguments after the program name. Throws UsageError. */
RenderOptions parseOptions (const juce::StringArray& args);

extern const char* const usageText;

} // namespace velorn::render
