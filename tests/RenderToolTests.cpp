// Runs the built velorn-render as a user would and checks its files, its
// summary and its errors.

#include "EmptyHomeFolder.h"
#include "ProcessorFixture.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
    struct Result
    {
        int exitCode;
        juce::String output;
    };

    Result runRender (const juce::StringArray& args)
    {
        juce::StringArray command { VELORN_RENDER_BINARY };
        command.addArray (args);
        juce::ChildProcess child;

        if (! child.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return { -1, "could not start" };

        const auto output = child.readAllProcessOutput();
        child.waitForProcessToFinish (60000);
        return { (int) child.getExitCode(), output };
    }

    struct RenderFolder
    {
        RenderFolder() { folder.createDirectory(); }
        ~RenderFolder() { folder.deleteRecursively(); }

        juce::String path (const char* name) const { return folder.getChildFile (name).getFullPathName(); }

        juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getNonexistentChildFile ("velorn-render-test", "");
    };

    void writeWav (const juce::String& path, const juce::AudioBuffer<float>& audio, int bits = 24)
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (juce::File (path).createOutputStream().release(), 48000.0,
                                 (unsigned int) audio.getNumChannels(), bits, {}, 0));
        ASSERT_NE (writer, nullptr);
        writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    }

    juce::AudioBuffer<float> readWav (const juce::String& path)
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (juce::File (path).createInputStream().release(), true));

        if (reader == nullptr)
            return {};

        juce::AudioBuffer<float> audio ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
        return audio;
    }

    [[maybe_unused]] const bool homeIsEmpty = velorn::test::useEmptyHomeFolder();

    const juce::StringArray everyModule {
        "--set", "gateOn=1", "--set", "gateThreshold=-30", "--set", "filtersOn=1", "--set", "highPassOn=1",
        "--set", "lowPassOn=1", "--set", "lowPass=9000", "--set", "eqOn=1", "--set", "lowMidOn=1",
        "--set", "lowMidGain=6", "--set", "highOn=1", "--set", "highGain=-4", "--set", "compressorOn=1",
        "--set", "compThreshold=-24", "--set", "moduleOrder=19", "--set", "phase=1", "--set", "inputGain=3.5"
    };
}

TEST (RenderTool, BuiltInVst3AndLv2RenderBitIdentically)
{
    RenderFolder dir;

    for (const int channels : { 1, 2 })
    {
        const auto input = dir.path (channels == 1 ? "mono.wav" : "stereo.wav");
        auto audio = velorn::test::noiseBuffer (channels, 30000, 0.6f, 3);
        audio.applyGainRamp (10000, 10000, 1.0f, 0.01f);   // a quiet passage for the gate
        writeWav (input, audio);

        const auto builtIn = dir.path ("builtin.wav");
        auto args = juce::StringArray { input, builtIn };
        args.addArray (everyModule);
        ASSERT_EQ (runRender (args).exitCode, 0);
        const auto reference = readWav (builtIn);
        ASSERT_EQ (reference.getNumChannels(), channels);

        for (const auto* plugin : { VELORN_VST3_BUNDLE, VELORN_LV2_BUNDLE })
        {
            const auto hostedOut = dir.path ("hosted.wav");
            auto hostedArgs = juce::StringArray { input, hostedOut, "--plugin", plugin };
            hostedArgs.addArray (everyModule);
            const auto result = runRender (hostedArgs);
            ASSERT_EQ (result.exitCode, 0) << result.output;
            EXPECT_TRUE (velorn::test::buffersIdentical (readWav (hostedOut), reference)) << plugin << ", " << channels << " channel(s)";
        }
    }
}

TEST (RenderTool, SetAndStateGiveTheSameRender)
{
    RenderFolder dir;
    writeWav (dir.path ("in.wav"), velorn::test::noiseBuffer (2, 20000, 0.5f, 9));

    auto args = juce::StringArray { dir.path ("in.wav"), dir.path ("a.wav"), "--save-state", dir.path ("state.bin") };
    args.addArray (everyModule);
    ASSERT_EQ (runRender (args).exitCode, 0);
    ASSERT_EQ (runRender ({ dir.path ("in.wav"), dir.path ("b.wav"), "--state", dir.path ("state.bin") }).exitCode, 0);
    EXPECT_TRUE (velorn::test::buffersIdentical (readWav (dir.path ("a.wav")), readWav (dir.path ("b.wav"))));

    VelornAudioProcessor restored;
    juce::MemoryBlock chunk;
    ASSERT_TRUE (juce::File (dir.path ("state.bin")).loadFileAsData (chunk));
    restored.setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_FLOAT_EQ (velorn::test::getParameter (restored, "moduleOrder"), 19.0f);
    EXPECT_FLOAT_EQ (velorn::test::getParameter (restored, "lowPass"), 9000.0f);
    EXPECT_FLOAT_EQ (velorn::test::getParameter (restored, "inputGain"), 3.5f);
}

TEST (RenderTool, SummaryAndMetersAgreeWithThePublishedValues)
{
    RenderFolder dir;
    juce::AudioBuffer<float> audio (2, 4096);
    audio.clear();

    for (int i = 0; i < 2048; ++i)
        audio.setSample (0, i, i % 2 == 0 ? 0.5f : -0.5f);   // -6.02 dBFS on the left, silence on the right

    writeWav (dir.path ("in.wav"), audio, 32);
    const auto result = runRender ({ dir.path ("in.wav"), dir.path ("out.wav"), "--meters", dir.path ("m.csv"),
                                     "--set", "outputGain=-6", "--set", "compressorOn=1", "--set", "compThreshold=-20",
                                     "--block", "1024" });
    ASSERT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("samples: 4096"));
    EXPECT_TRUE (result.output.contains ("channel 1: input peak -6.02 dBFS"));
    EXPECT_TRUE (result.output.contains ("gate open: 100.0 % of blocks"));

    // The same blocks through the processor directly.
    velorn::test::PreparedProcessor pp (48000.0, 1024);
    velorn::test::setParameter (pp.processor, "outputGain", -6.0f);
    velorn::test::setParameter (pp.processor, "compressorOn", 1.0f);
    velorn::test::setParameter (pp.processor, "compThreshold", -20.0f);

    juce::StringArray rows;
    rows.addLines (juce::File (dir.path ("m.csv")).loadFileAsString());
    rows.removeEmptyStrings();
    ASSERT_EQ (rows.size(), 5);
    float deepest = 0.0f;

    for (int block = 0; block < 4; ++block)
    {
        juce::AudioBuffer<float> b (2, 1024);
        b.copyFrom (0, 0, audio, 0, block * 1024, 1024);
        b.copyFrom (1, 0, audio, 1, block * 1024, 1024);
        pp.process (b);

        const auto cells = juce::StringArray::fromTokens (rows[block + 1], ",", "");
        auto& p = pp.processor;
        EXPECT_NEAR (cells[2].getFloatValue(), p.inputLevelDb[0].load(), 1.0e-3f);
        EXPECT_NEAR (cells[4].getFloatValue(), p.outputLevelDb[0].load(), 1.0e-3f);
        EXPECT_NEAR (cells[6].getFloatValue(), p.compReductionDb.load(), 1.0e-3f);
        EXPECT_EQ (cells[8].getIntValue(), p.gateOpen.load() ? 1 : 0);
        deepest = juce::jmax (deepest, -p.compReductionDb.load());
    }

    EXPECT_TRUE (result.output.contains ("maximum compressor reduction: " + juce::String (deepest, 2) + " dB")) << result.output;
}

TEST (RenderTool, BadInputGetsAClearErrorAndLeavesNoFile)
{
    RenderFolder dir;
    writeWav (dir.path ("in.wav"), velorn::test::noiseBuffer (2, 1000, 0.5f, 1));
    juce::File (dir.path ("junk.wav")).replaceWithText ("this is not audio");
    juce::File (dir.path ("junk.state")).replaceWithText ("nor is this a state");

    struct Case { juce::StringArray args; int exitCode; const char* message; const char* output; };
    const Case cases[] = {
        { { dir.path ("missing.wav"), dir.path ("o1.wav") }, 1, "input file not found", "o1.wav" },
        { { dir.path ("junk.wav"), dir.path ("o2.wav") }, 1, "not a WAV or AIFF file", "o2.wav" },
        { { dir.path ("in.wav"), dir.path ("o3.wav"), "--set", "loudness=3" }, 1, "unknown parameter 'loudness'", "o3.wav" },
        { { dir.path ("in.wav"), dir.path ("o4.wav"), "--set", "gateOn=yes" }, 1, "is not a number", "o4.wav" },
        { { dir.path ("in.wav"), dir.path ("o5.wav"), "--state", dir.path ("junk.state") }, 1, "not a Velorn state chunk", "o5.wav" },
        { { dir.path ("in.wav"), dir.path ("o6.wav"), "--state", dir.path ("none.state") }, 1, "cannot read state file", "o6.wav" },
        { { dir.path ("in.wav"), dir.path ("in.wav") }, 1, "output file is the input file", "o7.wav" },
        { { dir.path ("in.wav"), dir.path ("nowhere/o8.wav") }, 1, "output folder does not exist", "o8.wav" },
        { { dir.path ("in.wav") }, 2, "expected an input and an output file", "o9.wav" },
        { { dir.path ("in.wav"), dir.path ("o10.wav"), "--block", "0" }, 2, "--block must be", "o10.wav" },
    };

    const auto inputBefore = juce::File (dir.path ("in.wav")).loadFileAsString();

    for (const auto& c : cases)
    {
        const auto result = runRender (c.args);
        EXPECT_EQ (result.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE (result.output.contains (c.message)) << result.output;
        EXPECT_FALSE (dir.folder.getChildFile (c.output).exists()) << c.output;
    }

    EXPECT_EQ (juce::File (dir.path ("in.wav")).loadFileAsString(), inputBefore);
    EXPECT_EQ (dir.folder.getNumberOfChildFiles (juce::File::findFiles), 3);   // no temporary files left behind
}

TEST (RenderTool, ListsEveryParameter)
{
    const auto result = runRender ({ "--list-params" });
    ASSERT_EQ (result.exitCode, 0);
    juce::StringArray lines;
    lines.addLines (result.output);
    lines.removeEmptyStrings();
    ASSERT_EQ (lines.size(), 76);
    EXPECT_TRUE (lines[0].startsWith ("inputGain\tInput Gain\t-24 to 24\tdefault 0\tdB"));
}

TEST (RenderTool, DemoRendersAndExtraChannelsPassThrough)
{
    RenderFolder dir;
    const auto demo = runRender ({ "--demo", dir.path ("demo.wav") });
    ASSERT_EQ (demo.exitCode, 0) << demo.output;
    EXPECT_EQ (readWav (dir.path ("demo.wav")).getNumChannels(), 2);

    const auto input = velorn::test::noiseBuffer (4, 3000, 0.5f, 2);
    writeWav (dir.path ("quad.wav"), input, 32);
    ASSERT_EQ (runRender ({ dir.path ("quad.wav"), dir.path ("quad-out.wav"), "--set", "outputGain=-12" }).exitCode, 0);
    const auto output = readWav (dir.path ("quad-out.wav"));
    ASSERT_EQ (output.getNumChannels(), 4);

    for (int c = 2; c < 4; ++c)
        EXPECT_EQ (std::memcmp (output.getReadPointer (c), input.getReadPointer (c), sizeof (float) * 3000), 0);

    EXPECT_LT (output.getMagnitude (0, 0, 3000), input.getMagnitude (0, 0, 3000) * 0.3f);
}
