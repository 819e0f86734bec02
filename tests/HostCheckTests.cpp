// Loads the built plug-in binaries the way hosts do, through JUCE's VST3 and
// LV2 hosting, and checks what a host relies on.

#include "ProcessorFixture.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

namespace
{
    const char* const lv2Uri = VELORN_LV2_URI;

    std::unique_ptr<juce::AudioPluginInstance> loadVst3()
    {
        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, VELORN_VST3_BUNDLE);

        if (types.isEmpty())
            return {};

        juce::String error;
        return format.createInstanceFromDescription (*types[0], 48000.0, 512, error);
    }

    std::unique_ptr<juce::AudioPluginInstance> loadLv2()
    {
        juce::LV2PluginFormat format;
        const auto found = format.searchPathsForPlugins (juce::FileSearchPath (VELORN_LV2_FOLDER), true, false);

        if (! found.contains (lv2Uri))
            return {};

        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, lv2Uri);

        if (types.isEmpty())
            return {};

        juce::String error;
        return format.createInstanceFromDescription (*types[0], 48000.0, 512, error);
    }

    juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& set)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        return layout;
    }

    juce::StringArray parameterNames (const juce::AudioProcessor& processor)
    {
        juce::StringArray names;

        for (const auto* parameter : processor.getParameters())
            names.add (parameter->getName (100));

        return names;
    }

    /** The 76 parameters in order, followed at most by a host-facing bypass. */
    void expectSameParametersInOrder (juce::AudioPluginInstance& plugin)
    {
        const auto expected = parameterNames (VelornAudioProcessor());
        auto hosted = parameterNames (plugin);
        ASSERT_GE (hosted.size(), 76);
        ASSERT_LE (hosted.size(), 77);
        hosted.removeRange (76, 1);
        EXPECT_EQ (hosted, expected);
    }

    /** LV2 hosts list parameters in their own order (lilv sorts them by symbol). */
    void expectSameParameterSet (juce::AudioPluginInstance& plugin)
    {
        auto expected = parameterNames (VelornAudioProcessor());
        auto hosted = parameterNames (plugin);
        ASSERT_GE (hosted.size(), 76);
        ASSERT_LE (hosted.size(), 77);

        // The plug-in's own "Bypass" and the host-facing one share a name: keep one.
        if (hosted.size() == 77)
        {
            hosted.removeString ("Bypass", false);
            hosted.add ("Bypass");
        }

        expected.sort (false);
        hosted.sort (false);
        EXPECT_EQ (hosted, expected);
    }

    void expectDefaultsPassAudio (juce::AudioPluginInstance& plugin, int numChannels)
    {
        plugin.setBusesLayout (layoutOf (juce::AudioChannelSet::canonicalChannelSet (numChannels)));
        plugin.prepareToPlay (48000.0, 512);

        for (int block = 0; block < 4; ++block)
        {
            const auto input = velorn::test::noiseBuffer (numChannels, 512, 0.5f, 40 + (std::uint32_t) block);
            auto buffer = input;
            juce::MidiBuffer midi;
            plugin.processBlock (buffer, midi);
            EXPECT_TRUE (velorn::test::buffersIdentical (buffer, input)) << numChannels << " channels, block " << block;
        }

        plugin.releaseResources();
    }
}

TEST (HostCheck, Vst3LoadsWithItsParametersLayoutsAndNoLatency)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr) << "could not load " << VELORN_VST3_BUNDLE;

    EXPECT_EQ (plugin->getName(), "Velorn");
    expectSameParametersInOrder (*plugin);
    EXPECT_TRUE (plugin->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::mono())));
    EXPECT_TRUE (plugin->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::stereo())));
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::create5point1())));

    plugin->prepareToPlay (48000.0, 512);
    EXPECT_EQ (plugin->getLatencySamples(), 0);
    EXPECT_EQ (plugin->getTailLengthSeconds(), 0.0);
    plugin->releaseResources();

    expectDefaultsPassAudio (*plugin, 2);
    expectDefaultsPassAudio (*plugin, 1);
}

TEST (HostCheck, Lv2LoadsUnderItsUriWithItsParameters)
{
    auto plugin = loadLv2();
    ASSERT_NE (plugin, nullptr) << "could not load " << lv2Uri << " from " << VELORN_LV2_FOLDER;

    expectSameParameterSet (*plugin);
    expectDefaultsPassAudio (*plugin, 2);

    if (plugin->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::mono())))
        expectDefaultsPassAudio (*plugin, 1);
}
