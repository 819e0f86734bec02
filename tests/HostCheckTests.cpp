// Loads the built plug-in binaries the way hosts do, through JUCE's VST3 and
// LV2 hosting, and checks what a host relies on.

#include "EmptyHomeFolder.h"
#include "ProcessorFixture.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <cstdlib>

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

namespace
{
    bool haveDisplay()
    {
        return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty();
    }

    /** JUCE's windowing looks up some window-manager atoms only if they
        exist, as they do on every desktop; a bare X server for tests has no
        window manager to make them, and a plug-in window then fails. The
        connection stays open: an X server that loses its last client resets
        and forgets its atoms. */
    void createWindowManagerAtoms()
    {
        static auto* display = XOpenDisplay (nullptr);

        if (display == nullptr)
            return;

        for (const auto* name : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                                  "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                                  "_NET_WM_STATE_FULLSCREEN", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS",
                                  "_WIN_HINTS", "KWM_WIN_DECORATION", "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE",
                                  "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_NORMAL" })
            XInternAtom (display, name, False);

        XSync (display, False);
    }

    // Before main: JUCE reads these atoms once, when it first opens the display.
    [[maybe_unused]] const bool windowManagerAtomsCreated = (createWindowManagerAtoms(), true);

    [[maybe_unused]] const bool homeIsEmpty = velorn::test::useEmptyHomeFolder();

    /** What hosts check on every load: a stable parameter list, state that
        moves between instances, re-preparing at other rates, and editors that
        come and go. */
    void expectWellBehavedAcrossInstances (const std::function<std::unique_ptr<juce::AudioPluginInstance>()>& load)
    {
        auto first = load();
        auto second = load();
        ASSERT_NE (first, nullptr);
        ASSERT_NE (second, nullptr);
        EXPECT_EQ (parameterNames (*first), parameterNames (*second));

        // Settings made on one instance arrive in another through the host's
        // state. Range ends are legal values for every parameter, so neither
        // side snaps them.
        const auto& params = first->getParameters();
        auto settingNames = parameterNames (VelornAudioProcessor());
        settingNames.removeRange (45, settingNames.size());   // the settings before "Bypass" and the analyser flag

        auto isSetting = [&] (int i) { return settingNames.contains (params[i]->getName (100)); };

        for (int i = 0; i < params.size(); ++i)
            if (isSetting (i))
                params[i]->setValueNotifyingHost ((float) ((i * 7 + 3) % 2));

        // LV2 carries parameter values to and from the plug-in while it runs,
        // so both instances run a block around the hand-over, as in a host.
        auto runOneBlock = [] (juce::AudioPluginInstance& instance)
        {
            instance.prepareToPlay (48000.0, 64);
            juce::AudioBuffer<float> buffer (2, 64);
            buffer.clear();
            juce::MidiBuffer midi;
            instance.processBlock (buffer, midi);
            instance.releaseResources();
        };

        runOneBlock (*first);
        juce::MemoryBlock state;
        first->getStateInformation (state);
        second->setStateInformation (state.getData(), (int) state.getSize());
        runOneBlock (*second);

        for (int i = 0; i < params.size(); ++i)
            if (isSetting (i))
                EXPECT_NEAR (second->getParameters()[i]->getValue(), params[i]->getValue(), 1.0e-6f) << params[i]->getName (100);

        // Prepared twice at different rates, released and prepared again.
        for (const double rate : { 44100.0, 96000.0, 48000.0 })
        {
            second->setRateAndBufferSizeDetails (rate, 256);
            second->prepareToPlay (rate, 256);
            auto buffer = velorn::test::noiseBuffer (2, 256, 0.5f, 1);
            juce::MidiBuffer midi;
            second->processBlock (buffer, midi);

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < 256; ++i)
                    ASSERT_TRUE (std::isfinite (buffer.getSample (c, i)));

            if (rate == 96000.0)
                second->releaseResources();
        }

        second->releaseResources();

        if (! haveDisplay())
        {
            ADD_FAILURE() << "editor checks need a display: run under xvfb-run";
            return;
        }

        for (int round = 0; round < 20; ++round)
        {
            std::unique_ptr<juce::AudioProcessorEditor> editor (second->createEditorIfNeeded());
            ASSERT_NE (editor, nullptr);
            editor->setVisible (true);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
            editor.reset();
        }
    }
}

TEST (HostCheck, Vst3BehavesAcrossInstancesRatesAndEditors)
{
    expectWellBehavedAcrossInstances (loadVst3);
}

TEST (HostCheck, Lv2BehavesAcrossInstancesRatesAndEditors)
{
    expectWellBehavedAcrossInstances (loadLv2);
}

TEST (HostCheck, ProcessorEditorsComeAndGo)
{
    if (! haveDisplay())
        FAIL() << "editor checks need a display: run under xvfb-run";

    VelornAudioProcessor processor;

    for (int round = 0; round < 20; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        editor->setVisible (true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        editor.reset();
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
