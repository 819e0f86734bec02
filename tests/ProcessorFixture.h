#pragma once

#include "TestSignals.h"
#include "core/PluginProcessor.h"
#include "dsp/FastMath.h"

#include <gtest/gtest.h>

namespace velorn::test
{

inline void setParameter (VelornAudioProcessor& p, const char* id, float plainValue)
{
    auto* parameter = p.parameters.getParameter (id);
    ASSERT_NE (parameter, nullptr) << id;
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

inline float getParameter (VelornAudioProcessor& p, const char* id)
{
    return p.parameters.getRawParameterValue (id)->load();
}

/** Fills a buffer with a different noise on every channel. */
inline juce::AudioBuffer<float> noiseBuffer (int numChannels, int numSamples, float amplitude, std::uint32_t seed)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);

    for (int c = 0; c < numChannels; ++c)
    {
        const auto n = noise (numSamples, amplitude, seed + (std::uint32_t) c * 7919u);
        buffer.copyFrom (c, 0, n.data(), numSamples);
    }

    return buffer;
}

inline bool buffersIdentical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;

    for (int c = 0; c < a.getNumChannels(); ++c)
        if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
            return false;

    return true;
}

struct PreparedProcessor
{
    explicit PreparedProcessor (double sampleRate = 48000.0, int blockSize = 512)
    {
        processor.prepareToPlay (sampleRate, blockSize);
    }

    void process (juce::AudioBuffer<float>& buffer)
    {
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    }

    VelornAudioProcessor processor;
};

} // namespace velorn::test
