// Ten minutes of audio at 48 kHz, faster than real time, with automation on
// every block: the meters do not drift, and long silences leave no denormal
// numbers in the signal path's state.

#include "ProcessorFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velorn::test;

namespace
{
    double soakMinutes()
    {
        return juce::jlimit (0.1, 60.0, juce::SystemStats::getEnvironmentVariable ("VELORN_SOAK_MINUTES", "10").getDoubleValue());
    }

    bool hasSubnormal (const velorn::ChannelStrip& strip)
    {
        auto subnormal = [] (float v) { return std::fpclassify (v) == FP_SUBNORMAL; };
        const auto& comp = strip.getCompressorState();

        if (subnormal (comp.compGain) || subnormal (comp.makeupGainSmoothed))
            return true;

        for (int c = 0; c < 2; ++c)
        {
            const auto& channel = strip.getChannelState (c);

            if (subnormal (channel.gateEnvelope) || subnormal (channel.gateGain))
                return true;

            for (const auto& section : channel.biquadState)
                if (subnormal (section[0]) || subnormal (section[1]))
                    return true;
        }

        return false;
    }

    struct Meters
    {
        float input, output, reduction, gate;
    };
}

TEST (Soak, TenMinutesWithAutomationEveryBlockNeitherDriftsNorGoesDenormal)
{
    constexpr double rate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int cycleBlocks = 64;   // the programme and the automation repeat every 64 blocks
    const auto totalBlocks = (int) (soakMinutes() * 60.0 * rate / blockSize);

    PreparedProcessor pp (rate, blockSize);
    auto& p = pp.processor;

    for (const auto* id : { "gateOn", "filtersOn", "highPassOn", "eqOn", "lowOn", "mid1On", "highOn", "compressorOn" })
        setParameter (p, id, 1.0f);

    setParameter (p, "gateThreshold", -50.0f);
    setParameter (p, "gateRange", -40.0f);

    // Blocks 0 to 39 of each cycle carry noise at changing levels, 40 to 63 silence.
    std::vector<juce::AudioBuffer<float>> programme;

    for (int b = 0; b < cycleBlocks; ++b)
        programme.push_back (noiseBuffer (2, blockSize, b < 40 ? 0.05f + 0.02f * (float) (b % 10) : 0.0f, (std::uint32_t) b));

    std::vector<Meters> firstCycle, lastCycle;
    juce::AudioBuffer<float> block (2, blockSize);

    for (int n = 0; n < totalBlocks; ++n)
    {
        const auto phase = n % cycleBlocks;

        // Automation on every block: threshold, a band gain and the output move in a fixed pattern.
        setParameter (p, "compThreshold", -30.0f + (float) (phase % 16));
        setParameter (p, "mid1Gain", -6.0f + 0.5f * (float) (phase % 24));
        setParameter (p, "outputGain", phase < 32 ? 0.0f : -1.5f);

        block.makeCopyOf (programme[(size_t) phase], true);
        pp.process (block);

        const Meters m { p.inputLevelDb[0].load(), p.outputLevelDb[0].load(), p.compReductionDb.load(), p.gateGainDb.load() };

        for (const auto v : { m.input, m.output, m.reduction, m.gate })
            ASSERT_TRUE (std::isfinite (v)) << "block " << n;

        // The second cycle is the reference: the first still starts from rest.
        if (n / cycleBlocks == 1)
            firstCycle.push_back (m);

        if (n / cycleBlocks == totalBlocks / cycleBlocks - 1)
            lastCycle.push_back (m);

        if (phase == cycleBlocks - 1)
            ASSERT_FALSE (hasSubnormal (p.getChannelStrip())) << "after the silence of cycle " << n / cycleBlocks;
    }

    // A long silence takes every decaying state through the range where
    // floats turn denormal; flushed to zero, none is ever seen there.
    const auto silentBlocks = (int) (20.0 * rate / blockSize);

    for (int n = 0; n < silentBlocks; ++n)
    {
        block.clear();
        pp.process (block);
        ASSERT_FALSE (hasSubnormal (p.getChannelStrip())) << "silent block " << n;
    }

    ASSERT_EQ (firstCycle.size(), lastCycle.size());

    for (size_t b = 0; b < firstCycle.size(); ++b)
    {
        EXPECT_NEAR (lastCycle[b].input, firstCycle[b].input, 1.0e-4f) << b;
        EXPECT_NEAR (lastCycle[b].output, firstCycle[b].output, 0.05f) << b;
        EXPECT_NEAR (lastCycle[b].reduction, firstCycle[b].reduction, 0.05f) << b;
        EXPECT_NEAR (lastCycle[b].gate, firstCycle[b].gate, 0.05f) << b;
    }
}
