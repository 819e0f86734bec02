#include "StripFixture.h"
#include "TestSignals.h"

#include <gtest/gtest.h>

using namespace velorn;
using namespace velorn::test;

namespace
{
    SettingValues gateSettings()
    {
        SettingValues v;
        v.gateOn = 1.0f;
        return v;   // threshold -45 dB, range -60 dB, attack 2 ms, release 180 ms
    }

    std::vector<float> constant (int n, float value) { return std::vector<float> ((size_t) n, value); }

    /** A sine that starts near its crest, so the detector rises on the first sample. */
    std::vector<float> sineFromCrest (int n, double frequency, float amplitude)
    {
        const auto skip = (int) std::lround (48000.0 / frequency / 4.0);
        auto out = sine (n + skip, frequency, 48000.0, amplitude);
        out.erase (out.begin(), out.begin() + skip);
        return out;
    }
}

TEST (Gate, ZeroRangeNeverMovesTheGain)
{
    auto v = gateSettings();
    v.gateRange = 0.0f;
    StripFixture f;
    f.apply (v);
    const auto input = noise (48000, 0.001f, 1);   // well below the threshold
    auto out = input;
    f.processMono (out);
    EXPECT_EQ (out, input);
    EXPECT_TRUE (f.strip.isGateOpen());
    EXPECT_EQ (f.strip.getGateGainDb(), 0.0f);
}

TEST (Gate, SteadySignalAboveThresholdStaysOpen)
{
    StripFixture f;
    f.apply (gateSettings());
    auto out = sineFromCrest (48000, 440.0, 0.5f);
    const auto input = out;
    f.processMono (out);
    EXPECT_EQ (out, input);
    EXPECT_EQ (f.strip.getChannelState (0).gateGain, 1.0f);
    EXPECT_TRUE (f.strip.isGateOpen());
    EXPECT_NEAR (f.strip.getGateGainDb(), 0.0f, 1.0e-5f);
}

TEST (Gate, SilenceClosesTowardsTheRangeWithTheReleaseTimeConstant)
{
    StripFixture f;
    f.apply (gateSettings());
    auto loud = constant (4800, 0.5f);
    f.processMono (loud);

    // The detector falls from 0.5 with 50 ms until it crosses the -45 dB
    // threshold, after ln (0.5 / 0.005623) x 50 ms = 224 ms.
    const auto crossing = (int) std::ceil (std::log (0.5 / 0.0056231916) * 0.05 * 48000.0);
    auto beforeCrossing = constant (crossing - 10, 0.0f);
    f.processMono (beforeCrossing);
    EXPECT_TRUE (f.strip.isGateOpen());
    EXPECT_EQ (f.strip.getChannelState (0).gateGain, 1.0f);

    auto closing = constant (20 + (int) (0.180 * 48000.0), 0.0f);   // one release time constant after the crossing
    f.processMono (closing);
    EXPECT_FALSE (f.strip.isGateOpen());
    const auto expected = 0.001 + (1.0 - 0.001) * std::exp (-1.0);
    EXPECT_NEAR (f.strip.getChannelState (0).gateGain, expected, 0.01);

    auto longSilence = constant (48000 * 3, 0.0f);
    f.processMono (longSilence);
    EXPECT_NEAR (f.strip.getGateGainDb(), -60.0f, 0.1f);
}

TEST (Gate, BurstOpensWithTheAttackTimeConstant)
{
    StripFixture f;
    f.apply (gateSettings());
    auto silence = constant (48000 * 2, 0.0f);
    f.processMono (silence);
    ASSERT_LT (f.strip.getChannelState (0).gateGain, 0.0011f);

    auto burst = constant ((int) (0.002 * 48000.0), 0.1f);   // one attack time constant
    f.processMono (burst);
    const auto start = 0.001;
    EXPECT_NEAR (f.strip.getChannelState (0).gateGain, start + (1.0 - start) * (1.0 - std::exp (-1.0)), 0.01);
    EXPECT_TRUE (f.strip.isGateOpen());
}

TEST (Gate, EachChannelIsGatedOnItsOwnAndEitherOneReportsOpen)
{
    StripFixture f;
    f.apply (gateSettings());
    auto left = sineFromCrest (48000, 300.0, 0.5f);
    const auto leftIn = left;
    std::vector<float> right (left.size(), 0.0f);
    f.processStereo (left, right);
    EXPECT_EQ (left, leftIn);
    EXPECT_LT (f.strip.getChannelState (1).gateGain, 0.01f);
    EXPECT_TRUE (f.strip.isGateOpen());
    EXPECT_LT (f.strip.getGateGainDb(), -30.0f);   // the block's lowest gain is the right channel's
}

TEST (Gate, DetectorExactlyAtThresholdCountsAsOpen)
{
    auto v = gateSettings();
    StripFixture f;
    f.apply (v);
    const auto threshold = f.strip.getGateThresholdLinear();
    auto atThreshold = constant (4800, threshold);
    f.processMono (atThreshold);
    EXPECT_TRUE (f.strip.isGateOpen());
    EXPECT_EQ (f.strip.getChannelState (0).gateGain, 1.0f);

    auto justBelow = constant (48000, threshold * 0.9f);
    f.processMono (justBelow);
    EXPECT_FALSE (f.strip.isGateOpen());
}
