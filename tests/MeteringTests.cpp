#include "ProcessorFixture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace velorn::test;

namespace
{
    float newestScope (const std::array<std::atomic<float>, VelornAudioProcessor::gateScopeSize>& ring,
                       const VelornAudioProcessor& p)
    {
        const auto pos = (p.gateScopeWritePos.load() + VelornAudioProcessor::gateScopeSize - 1) % VelornAudioProcessor::gateScopeSize;
        return ring[(size_t) pos].load();
    }

    float meterValue (VelornAudioProcessor& p, const char* id)
    {
        return p.parameters.getParameter (id)->getValue();
    }

    juce::AudioBuffer<float> constantBuffer (int channels, int samples, float value)
    {
        juce::AudioBuffer<float> b (channels, samples);

        for (int c = 0; c < channels; ++c)
            juce::FloatVectorOperations::fill (b.getWritePointer (c), value, samples);

        return b;
    }
}

TEST (Metering, SilenceReadsTheFloorAndEmptyScopeEntries)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    auto silence = constantBuffer (2, 512, 0.0f);
    pp.process (silence);

    for (int c = 0; c < 2; ++c)
    {
        EXPECT_EQ (p.inputLevelDb[(size_t) c].load(), -100.0f);
        EXPECT_EQ (p.outputLevelDb[(size_t) c].load(), -100.0f);
    }

    EXPECT_EQ (p.gateScopeWritePos.load(), 1u);
    EXPECT_EQ (newestScope (p.gateScopeInput, p), 0.0f);
    EXPECT_EQ (newestScope (p.gateScopeOutput, p), 0.0f);
    EXPECT_EQ (newestScope (p.gateScopeReductionDb, p), 0.0f);
    EXPECT_EQ (meterValue (p, "outputMeter"), 0.0f);
}

TEST (Metering, LevelsAreBlockPeaksBeforeInputGainAndAfterOutputGain)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    setParameter (p, "inputGain", 12.0f);
    juce::AudioBuffer<float> buffer (2, 512);
    buffer.clear();
    buffer.setSample (0, 100, -1.0f);
    buffer.setSample (1, 200, 0.25f);
    pp.process (buffer);

    EXPECT_FLOAT_EQ (p.inputLevelDb[0].load(), 0.0f);
    EXPECT_FLOAT_EQ (p.inputLevelDb[1].load(), 0.0f);
    EXPECT_NEAR (newestScope (p.gateScopeInput, p), 3.98f, 0.01f);
    EXPECT_NEAR (p.outputLevelDb[0].load(), 12.0f, 0.01f);
    EXPECT_NEAR (p.outputLevelDb[1].load(), 20.0f * std::log10 (0.25f * 3.981f), 0.01f);
    EXPECT_NEAR (newestScope (p.gateScopeOutput, p), 3.98f, 0.01f);
    EXPECT_EQ (meterValue (p, "outputMeter"), 1.0f);   // limited to full scale
}

TEST (Metering, MonoCopiesTheFirstElement)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    setParameter (p, "outputGain", -6.0f);
    auto buffer = constantBuffer (1, 256, 0.5f);
    pp.process (buffer);
    EXPECT_NEAR (p.inputLevelDb[0].load(), -6.02f, 0.01f);
    EXPECT_EQ (p.inputLevelDb[1].load(), p.inputLevelDb[0].load());
    EXPECT_EQ (p.outputLevelDb[1].load(), p.outputLevelDb[0].load());
    EXPECT_NEAR (p.outputLevelDb[0].load(), -12.02f, 0.01f);
    EXPECT_NEAR (meterValue (p, "outputMeter"), 0.25f, 0.001f);
}

TEST (Metering, BypassPublishesEachChannelsPeakAndNoReduction)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    setParameter (p, "compressorOn", 1.0f);
    setParameter (p, "gateOn", 1.0f);
    auto loud = constantBuffer (2, 4800, 1.0f);
    pp.process (loud);
    ASSERT_LT (p.compReductionDb.load(), -1.0f);

    setParameter (p, "bypass", 1.0f);
    auto buffer = constantBuffer (2, 512, 0.0f);
    buffer.setSample (0, 3, 0.5f);
    buffer.setSample (1, 9, -0.125f);
    pp.process (buffer);
    EXPECT_NEAR (p.outputLevelDb[0].load(), -6.02f, 0.01f);
    EXPECT_NEAR (p.outputLevelDb[1].load(), -18.06f, 0.01f);
    EXPECT_NEAR (p.inputLevelDb[0].load(), -6.02f, 0.01f);
    EXPECT_EQ (p.compReductionDb.load(), 0.0f);
    EXPECT_EQ (p.gateGainDb.load(), 0.0f);
    EXPECT_TRUE (p.gateOpen.load());
    EXPECT_EQ (meterValue (p, "gainReductionMeter"), 0.0f);
}

TEST (Metering, HostGainReductionMeterHasA24dBScale)
{
    struct Case { float threshold, ratio, expectedReduction, expectedMeter; };
    const Case cases[] = { { -20.0f, 2.0f, 10.0f, 10.0f / 24.0f }, { -50.0f, 20.0f, 47.5f, 1.0f } };

    for (const auto& c : cases)
    {
        PreparedProcessor pp;
        auto& p = pp.processor;
        setParameter (p, "compressorOn", 1.0f);
        setParameter (p, "compThreshold", c.threshold);
        setParameter (p, "compRatio", c.ratio);

        for (int block = 0; block < 100; ++block)
        {
            auto full = constantBuffer (2, 512, 1.0f);
            pp.process (full);
        }

        EXPECT_NEAR (p.compReductionDb.load(), -c.expectedReduction, 0.02f);
        EXPECT_NEAR (meterValue (p, "gainReductionMeter"), c.expectedMeter, 0.001f);
        EXPECT_EQ (meterValue (p, "gateOpenMeter"), 0.0f);
    }
}

TEST (Metering, SpectrumFifoIsFedOnlyWhileAConsumerExists)
{
    PreparedProcessor pp;
    auto& p = pp.processor;
    setParameter (p, "inputGain", 6.0f);
    setParameter (p, "phase", 1.0f);
    auto block = noiseBuffer (2, 300, 0.5f, 1);
    pp.process (block);
    EXPECT_EQ (p.spectrumWritePos.load(), 0u);

    p.spectrumConsumers += 2;
    const auto input = noiseBuffer (2, 300, 0.5f, 2);
    auto fed = input;
    pp.process (fed);
    EXPECT_EQ (p.spectrumWritePos.load(), 300u);

    const auto g = -velorn::decibelsToGain (getParameter (p, "inputGain"));

    for (int i = 0; i < 300; ++i)
        ASSERT_EQ (p.spectrumFifo[(size_t) i].load(), (input.getSample (0, i) * g + input.getSample (1, i) * g) / 2.0f);

    --p.spectrumConsumers;   // one of two displays closed: still fed
    auto more = noiseBuffer (2, 2000, 0.5f, 3);
    pp.process (more);
    EXPECT_EQ (p.spectrumWritePos.load(), (300u + 2000u) % 2048u);

    --p.spectrumConsumers;
    auto last = noiseBuffer (2, 100, 0.5f, 4);
    pp.process (last);
    EXPECT_EQ (p.spectrumWritePos.load(), (300u + 2000u) % 2048u);
}

TEST (Metering, NonFiniteSamplesStillPublishFiniteValues)
{
    for (const auto poison : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() })
        for (const int consumers : { 0, 1 })
        {
            PreparedProcessor pp;
            auto& p = pp.processor;
            p.spectrumConsumers = consumers;

            for (const auto* id : { "gateOn", "compressorOn", "eqOn", "lowOn" })
                setParameter (p, id, 1.0f);

            auto buffer = noiseBuffer (2, 512, 0.5f, 5);
            buffer.setSample (0, 17, poison);
            buffer.setSample (1, 300, -poison);
            pp.process (buffer);

            for (const float v : { p.inputLevelDb[0].load(), p.inputLevelDb[1].load(), p.outputLevelDb[0].load(),
                                   p.outputLevelDb[1].load(), p.compReductionDb.load(), p.gateGainDb.load(),
                                   newestScope (p.gateScopeInput, p), newestScope (p.gateScopeOutput, p),
                                   newestScope (p.gateScopeReductionDb, p), meterValue (p, "gainReductionMeter"),
                                   meterValue (p, "outputMeter") })
                EXPECT_TRUE (std::isfinite (v)) << poison << ", consumers " << consumers;
        }
}
