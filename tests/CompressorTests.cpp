#include "StripFixture.h"
#include "TestSignals.h"
#include "dsp/FastMath.h"

#include <gtest/gtest.h>

using namespace velorn;
using namespace velorn::test;

namespace
{
    SettingValues compressorSettings()
    {
        SettingValues v;
        v.compressorOn = 1.0f;
        return v;   // threshold -18 dB, ratio 4, attack 10 ms, release 150 ms, auto gain on
    }
}

TEST (Compressor, AutoGainFollowsThresholdAndRatioWithinItsLimits)
{
    struct Case { float threshold, ratio, makeup; bool autoGain; float expectedDb; };
    const Case cases[] = {
        { -18.0f, 4.0f, 0.0f, true, 6.75f },
        { -18.0f, 1.0f, 0.0f, true, 0.0f },
        { -50.0f, 20.0f, 0.0f, true, 9.0f },
        { -50.0f, 20.0f, 24.0f, true, 24.0f },
        { -18.0f, 4.0f, 3.0f, false, 3.0f },
    };

    for (const auto& c : cases)
    {
        auto v = compressorSettings();
        v.compThreshold = c.threshold;
        v.compRatio = c.ratio;
        v.compMakeup = c.makeup;
        v.compAutoGain = c.autoGain ? 1.0f : 0.0f;
        EXPECT_FLOAT_EQ (buildKernelSettings (v, 48000.0).makeupGain, decibelsToGain (c.expectedDb))
            << c.threshold << " dB, " << c.ratio << ":1";
    }
}

TEST (Compressor, FullScaleSignalSettlesAtTheStaticCurve)
{
    auto v = compressorSettings();
    v.compAutoGain = 0.0f;
    StripFixture f;
    f.apply (v);
    std::vector<float> left (48000, 1.0f), right (48000, -1.0f);
    f.processStereo (left, right);

    // -18 + 18 / 4 = -13.5 dB at 0 dBFS.
    EXPECT_NEAR (fastGainToDb (f.strip.getCompressorState().compGain), -13.5f, 0.01f);
    EXPECT_NEAR (20.0f * std::log10 (left.back()), -13.5f, 0.01f);
    EXPECT_EQ (left.back(), -right.back());
    EXPECT_NEAR (f.strip.getCompReductionDb(), -13.5f, 0.05f);
}

TEST (Compressor, RatioOneChangesNothing)
{
    auto v = compressorSettings();
    v.compRatio = 1.0f;
    StripFixture f;
    f.apply (v);
    const auto input = noise (48000, 1.0f, 11);
    auto out = input;
    f.processMono (out);

    // Within the precision of the fast logarithm and power: 0.01 dB.
    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_NEAR (out[i], input[i], 1.0e-3f * std::abs (input[i]) + 1.0e-9f);
}

TEST (Compressor, StereoLinkAppliesOneGainToBothChannels)
{
    StripFixture f;
    f.apply (compressorSettings());
    auto left = sine (9600, 100.0, 48000.0, 1.0f);
    std::vector<float> right (left.size(), 0.001f);
    const auto leftIn = left;
    f.processStereo (left, right);

    for (size_t i = 1; i < left.size(); i += 97)
        if (std::abs (leftIn[i]) > 0.1f)
            EXPECT_NEAR (left[i] / leftIn[i], right[i] / 0.001f, 1.0e-3f) << i;

    EXPECT_LT (right.back() / 0.001f, 0.6f);   // the quiet right channel is turned down with the loud left
}

TEST (Compressor, SignalBelowThresholdReleasesBackToUnity)
{
    StripFixture f;
    f.apply (compressorSettings());
    std::vector<float> loud (48000, 1.0f);
    f.processMono (loud);
    ASSERT_LT (f.strip.getCompressorState().compGain, 0.3f);
    const auto reduced = f.strip.getCompressorState().compGain;

    std::vector<float> quiet ((size_t) (0.150 * 48000.0), 0.01f);   // one release time constant
    f.processMono (quiet);
    EXPECT_NEAR (f.strip.getCompressorState().compGain, 1.0 - (1.0 - reduced) * std::exp (-1.0), 0.01);
}

TEST (Compressor, SwitchingOffResetsToUnityAndReportsNoReduction)
{
    StripFixture f;
    f.apply (compressorSettings());
    std::vector<float> loud (4800, 1.0f);
    f.processMono (loud);
    ASSERT_LT (f.strip.getCompReductionDb(), -3.0f);

    auto off = compressorSettings();
    off.compressorOn = 0.0f;
    f.apply (off);
    EXPECT_EQ (f.strip.getCompressorState().compGain, 1.0f);
    EXPECT_EQ (f.strip.getCompressorState().makeupGainSmoothed, 1.0f);
    std::vector<float> more (480, 1.0f);
    f.processMono (more);
    EXPECT_EQ (f.strip.getCompReductionDb(), 0.0f);
    EXPECT_EQ (more.front(), 1.0f);

    // Back on: the make-up glides in from unity, one percent per sample.
    f.apply (compressorSettings());
    std::vector<float> quiet (1, 0.01f);
    f.processMono (quiet);
    const auto target = decibelsToGain (6.75f);
    EXPECT_FLOAT_EQ (f.strip.getCompressorState().makeupGainSmoothed, 1.0f + (target - 1.0f) * 0.01f);
}
