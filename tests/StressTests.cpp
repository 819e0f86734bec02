// Hosts do unkind things at once: an audio thread processes blocks of any
// size while other threads automate every parameter, save and restore the
// state, and open and close displays. Run under ThreadSanitizer in CI.

#include "ProcessorFixture.h"
#include "dsp/SettingsBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

using namespace velorn::test;

namespace
{
    double stressSeconds()
    {
        const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("VELORN_STRESS_SECONDS", "3").getDoubleValue();
        return juce::jlimit (0.5, 60.0, fromEnvironment);
    }

    std::map<juce::String, float> paramValuesOf (const juce::MemoryBlock& chunk)
    {
        std::map<juce::String, float> values;

        if (auto xml = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize()))
            for (auto* param : xml->getChildWithTagNameIterator ("PARAM"))
                values[param->getStringAttribute ("id")] = (float) param->getDoubleAttribute ("value");

        return values;
    }

    std::map<juce::String, float> paramValuesOf (VelornAudioProcessor& p)
    {
        std::map<juce::String, float> values;

        for (auto* parameter : p.getParameters())
            if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
                values[ranged->getParameterID()] = ranged->convertFrom0to1 (ranged->getValue());

        return values;
    }
}

TEST (Stress, AudioAutomationStateAndDisplaysAtOnce)
{
    VelornAudioProcessor p;
    p.prepareToPlay (48000.0, 4096);

    std::atomic<bool> running { true };
    std::atomic<bool> nonFiniteOutput { false };
    std::atomic<int> blocks { 0 };
    std::vector<juce::MemoryBlock> savedChunks;

    std::thread audio ([&]
    {
        std::mt19937 rng (1);
        juce::AudioBuffer<float> buffer (2, 4096);
        juce::MidiBuffer midi;
        const auto noise = velorn::test::noise (4096, 0.9f, 3);

        while (running.load())
        {
            const auto channels = std::uniform_int_distribution<int> (1, 2) (rng);
            const auto samples = std::uniform_int_distribution<int> (0, 4096) (rng);
            buffer.setSize (channels, samples, false, false, true);

            for (int c = 0; c < channels; ++c)
                buffer.copyFrom (c, 0, noise.data(), samples);

            p.processBlock (buffer, midi);

            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < samples; ++i)
                    if (! std::isfinite (buffer.getSample (c, i)))
                        nonFiniteOutput = true;

            ++blocks;
        }
    });

    std::thread automation ([&]
    {
        std::mt19937 rng (2);
        std::uniform_real_distribution<float> unit (0.0f, 1.0f);

        while (running.load())
            for (auto* parameter : p.getParameters())
                parameter->setValueNotifyingHost (unit (rng));
    });

    // The host's message thread: saves, restores and displays coming and going.
    const auto end = juce::Time::getMillisecondCounterHiRes() + stressSeconds() * 1000.0;
    std::mt19937 rng (3);
    int displays = 0;

    while (juce::Time::getMillisecondCounterHiRes() < end)
    {
        juce::MemoryBlock chunk;
        p.getStateInformation (chunk);

        if (savedChunks.size() < 200)
            savedChunks.push_back (chunk);

        const auto& toRestore = savedChunks[std::uniform_int_distribution<size_t> (0, savedChunks.size() - 1) (rng)];
        p.setStateInformation (toRestore.getData(), (int) toRestore.getSize());

        if (displays < 3 && (displays == 0 || rng() % 2 == 0))
        {
            ++p.spectrumConsumers;
            ++displays;
            p.setSpectrumDisplayActive (true);
        }
        else
        {
            --displays;
            p.setSpectrumDisplayActive (displays > 0);
            p.spectrumConsumers = juce::jmax (p.spectrumConsumers.load(), 1) - 1;
        }
    }

    running = false;
    automation.join();
    audio.join();

    EXPECT_FALSE (nonFiniteOutput.load());
    EXPECT_GT (blocks.load(), 10);

    // The last settings written are the ones the next block runs with.
    std::mt19937 finalRng (4);
    for (auto* parameter : p.getParameters())
        parameter->setValueNotifyingHost (std::uniform_real_distribution<float> (0.0f, 1.0f) (finalRng));

    const auto written = paramValuesOf (p);
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);

    velorn::SettingValues values;
    for (const auto& field : velorn::settingFields)
        values.*(field.member) = written.at (field.id);

    const auto expected = velorn::buildKernelSettings (values, 48000.0);
    EXPECT_EQ (p.getChannelStrip().getAppliedChecksum(), expected.settingsChecksum);

    // Every chunk saved during the storm restores exactly into a fresh instance.
    for (const auto& chunk : savedChunks)
    {
        VelornAudioProcessor fresh;
        fresh.setStateInformation (chunk.getData(), (int) chunk.getSize());
        const auto inChunk = paramValuesOf (chunk);
        const auto restored = paramValuesOf (fresh);

        for (const auto* id : velorn::settingParameterIds)
            if (juce::String (id) != "dspAnalyserActive")
                ASSERT_EQ (restored.at (id), inChunk.at (id)) << id;
    }
}
