#include "ProcessorFixture.h"
#include "dsp/FastMath.h"
#include "dsp/SettingsBuilder.h"

#include <gtest/gtest.h>

using namespace velorn::test;
using Set = juce::AudioChannelSet;

TEST (Processor, AcceptsOnlyMonoToMonoAndStereoToStereo)
{
    VelornAudioProcessor p;
    auto layout = [] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };

    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (Set::mono(), Set::mono())));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (Set::stereo(), Set::stereo())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (Set::stereo(), Set::mono())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (Set::create5point1(), Set::create5point1())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (Set::disabled(), Set::stereo())));
}

TEST (Processor, HostIdentityProgramsTailAndLatency)
{
    VelornAudioProcessor p;
    EXPECT_EQ (p.getName(), "Velorn");
    EXPECT_EQ (p.getNumPrograms(), 1);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    p.setCurrentProgram (3);
    p.changeProgramName (0, "Lead Vocal");
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getProgramName (0), "");
    EXPECT_FALSE (p.acceptsMidi() || p.producesMidi() || p.isMidiEffect());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");

    for (const float bypass : { 0.0f, 1.0f })
    {
        setParameter (p, "bypass", bypass);
        EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
        EXPECT_EQ (p.getLatencySamples(), 0);
    }
}

TEST (Processor, EverySettingButNoMeterMarksTheSettingsForRebuild)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    auto buffer = noiseBuffer (2, 16, 0.1f, 1);

    for (int i = 0; i < 76; ++i)
    {
        pp.process (buffer);
        ASSERT_FALSE (p.isSettingsChangePending());
        auto* parameter = p.getParameters()[i];
        parameter->setValueNotifyingHost (parameter->getValue() > 0.5f ? 0.1f : 0.9f);
        EXPECT_EQ (p.isSettingsChangePending(), i < 47) << i;
    }
}

TEST (Processor, GainsAndPolarityAreExact)
{
    PreparedProcessor pp;
    setParameter (pp.processor, "inputGain", 7.5f);
    setParameter (pp.processor, "outputGain", -3.2f);
    setParameter (pp.processor, "phase", 1.0f);

    const auto input = noiseBuffer (2, 512, 0.7f, 2);
    auto buffer = input;
    pp.process (buffer);

    const auto g = -velorn::decibelsToGain (getParameter (pp.processor, "inputGain"));
    const auto out = velorn::decibelsToGain (getParameter (pp.processor, "outputGain"));
    ASSERT_NEAR (g, -2.3714f, 1.0e-4f);
    ASSERT_NEAR (out, 0.6918f, 1.0e-4f);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (buffer.getSample (c, i), input.getSample (c, i) * g * out);
}

TEST (Processor, DefaultsPassAudioUnchanged)
{
    PreparedProcessor pp;
    const auto input = noiseBuffer (2, 512, 1.0f, 3);
    auto buffer = input;
    pp.process (buffer);
    EXPECT_TRUE (buffersIdentical (buffer, input));
}

TEST (Processor, BypassIsBitIdenticalWhateverTheSettings)
{
    PreparedProcessor pp;
    auto& p = pp.processor;

    for (const auto* id : { "gateOn", "filtersOn", "highPassOn", "eqOn", "lowOn", "compressorOn", "phase" })
        setParameter (p, id, 1.0f);

    setParameter (p, "inputGain", 12.0f);
    setParameter (p, "lowGain", 9.0f);
    setParameter (p, "bypass", 1.0f);

    for (int block = 0; block < 4; ++block)
    {
        const auto input = noiseBuffer (2, 512, 0.9f, 10 + (std::uint32_t) block);
        auto buffer = input;
        pp.process (buffer);
        EXPECT_TRUE (buffersIdentical (buffer, input));
    }
}

TEST (Processor, MonoAndExtraChannels)
{
    PreparedProcessor pp;
    setParameter (pp.processor, "inputGain", 6.0f);
    const auto g = velorn::decibelsToGain (6.0f);

    const auto mono = noiseBuffer (1, 256, 0.5f, 4);
    auto monoOut = mono;
    pp.process (monoOut);

    for (int i = 0; i < 256; ++i)
        ASSERT_EQ (monoOut.getSample (0, i), mono.getSample (0, i) * g);

    const auto wide = noiseBuffer (4, 256, 0.5f, 5);
    auto wideOut = wide;
    pp.process (wideOut);

    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (wideOut.getSample (c, i), c < 2 ? wide.getSample (c, i) * g : wide.getSample (c, i)) << c;
}

TEST (Processor, ZeroLengthBlockStillTakesUpChanges)
{
    PreparedProcessor pp;
    setParameter (pp.processor, "outputGain", -6.0f);
    juce::AudioBuffer<float> empty (2, 0);
    pp.process (empty);
    EXPECT_FALSE (pp.processor.isSettingsChangePending());
    EXPECT_EQ (pp.processor.getChannelStrip().getActiveSettings().outputGain, velorn::decibelsToGain (-6.0f));
}

TEST (Processor, ChangesTakeEffectAtTheNextBlock)
{
    PreparedProcessor pp;
    auto first = noiseBuffer (2, 128, 0.5f, 6);
    const auto firstIn = first;
    pp.process (first);
    EXPECT_TRUE (buffersIdentical (first, firstIn));

    setParameter (pp.processor, "outputGain", 6.0f);
    auto second = noiseBuffer (2, 128, 0.5f, 7);
    const auto secondIn = second;
    pp.process (second);
    EXPECT_EQ (second.getSample (0, 0), secondIn.getSample (0, 0) * velorn::decibelsToGain (6.0f));
}

TEST (Processor, EqPostAndAnalyserFlagNeverChangeTheAudio)
{
    PreparedProcessor a, b;

    for (auto* pp : { &a, &b })
        for (const auto* id : { "gateOn", "eqOn", "mid1On", "compressorOn" })
            setParameter (pp->processor, id, 1.0f);

    for (int block = 0; block < 8; ++block)
    {
        setParameter (b.processor, "eqPost", (float) (block % 2));
        setParameter (b.processor, "dspAnalyserActive", (float) ((block / 2) % 2));
        auto x = noiseBuffer (2, 512, 0.8f, 20 + (std::uint32_t) block);
        auto y = x;
        a.process (x);
        b.process (y);
        EXPECT_TRUE (buffersIdentical (x, y)) << block;
    }
}

TEST (Processor, RecordThatDoesNotVerifyIsIgnored)
{
    velorn::ChannelStrip strip;
    velorn::SettingValues v;
    v.outputGain = 6.0f;
    const auto good = velorn::buildKernelSettings (v, 48000.0);

    auto corrupted = good;
    corrupted.outputGain = 2.0f;   // checksum no longer matches the content
    EXPECT_FALSE (strip.applyIfChanged (corrupted));

    auto wrongTag = good;
    wrongTag.settingsTag = 0;
    EXPECT_FALSE (strip.applyIfChanged (wrongTag));
    EXPECT_EQ (strip.getActiveSettings().outputGain, 1.0f);

    EXPECT_TRUE (strip.applyIfChanged (good));
    EXPECT_FALSE (strip.applyIfChanged (good));   // unchanged checksum: nothing to apply
    EXPECT_EQ (strip.getActiveSettings().outputGain, good.outputGain);
}

TEST (Processor, PrepareResetsTheSignalPath)
{
    PreparedProcessor pp;
    setParameter (pp.processor, "gateOn", 1.0f);
    auto silence = juce::AudioBuffer<float> (2, 48000);
    silence.clear();
    pp.process (silence);
    ASSERT_LT (pp.processor.getChannelStrip().getChannelState (0).gateGain, 0.5f);

    pp.processor.prepareToPlay (44100.0, 256);
    const auto& strip = pp.processor.getChannelStrip();
    EXPECT_EQ (strip.getChannelState (0).gateGain, 1.0f);
    EXPECT_EQ (strip.getChannelState (0).gateEnvelope, 0.0f);
    EXPECT_EQ (strip.getAppliedChecksum(), 0u);
    EXPECT_FLOAT_EQ (strip.getGateThresholdLinear(), 0.0056231916f);
    EXPECT_TRUE (pp.processor.isSettingsChangePending());
}
