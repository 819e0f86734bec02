#include "StripFixture.h"
#include "TestSignals.h"
#include "dsp/FilterDesign.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

using namespace velorn;
using namespace velorn::test;

namespace
{
    BiquadCoefficients fromJuce (const juce::dsp::IIR::Coefficients<float>::Ptr& c)
    {
        const auto* raw = c->getRawCoefficients();
        return { raw[0], raw[1], raw[2], raw[3], raw[4] };
    }

    std::vector<float> impulseResponse (const SettingValues& v, double rate = 48000.0, int length = 1 << 16)
    {
        StripFixture f (rate);
        f.apply (v);
        std::vector<float> x ((size_t) length, 0.0f);
        x[0] = 1.0f;
        return f.run (x);
    }

    SettingValues filters (bool lowCut, bool highCut)
    {
        SettingValues v;
        v.filtersOn = 1.0f;
        v.highPassOn = lowCut ? 1.0f : 0.0f;
        v.lowPassOn = highCut ? 1.0f : 0.0f;
        return v;
    }
}

TEST (FilterDesign, SameNumbersAsJuceCoefficientMakers)
{
    using Juce = juce::dsp::IIR::Coefficients<float>;

    for (const double rate : { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        for (float f = 20.0f; f < 0.45f * (float) rate; f *= 1.37f)
        {
            SCOPED_TRACE (juce::String (rate) + " Hz rate, " + juce::String (f) + " Hz");
            EXPECT_EQ (FilterDesign::makeHighPass (rate, f), fromJuce (Juce::makeHighPass (rate, f)));
            EXPECT_EQ (FilterDesign::makeLowPass (rate, f), fromJuce (Juce::makeLowPass (rate, f)));

            for (const float gain : { 0.1778f, 0.5f, 1.0f, 2.3f, 5.6234f })
            {
                EXPECT_EQ (FilterDesign::makeLowShelf (rate, f, 0.7071f, gain), fromJuce (Juce::makeLowShelf (rate, f, 0.7071f, gain)));
                EXPECT_EQ (FilterDesign::makeHighShelf (rate, f, 0.7071f, gain), fromJuce (Juce::makeHighShelf (rate, f, 0.7071f, gain)));

                for (const float q : { 0.2f, 0.9f, 2.0f, 12.0f })
                    EXPECT_EQ (FilterDesign::makePeakFilter (rate, f, q, gain), fromJuce (Juce::makePeakFilter (rate, f, q, gain)));
            }
        }
    }
}

TEST (Eq, CutFiltersAreMinus3dBAtTheirCornersAndFall12dBPerOctave)
{
    auto both = filters (true, true);   // 20 Hz and 22000 Hz, the latter limited to 21600 Hz at 48 kHz
    const auto ir = impulseResponse (both);
    // Float coefficients of a 20 Hz corner at 48 kHz move it by about 0.1 dB.
    EXPECT_NEAR (responseDb (ir, 20.0, 48000.0), -3.01, 0.15);
    EXPECT_NEAR (responseDb (ir, 21600.0, 48000.0), -3.01, 0.05);
    EXPECT_NEAR (responseDb (ir, 1000.0, 48000.0), 0.0, 0.01);

    auto lowCut = filters (true, false);
    lowCut.highPass = 200.0f;
    const auto lowCutIr = impulseResponse (lowCut);
    const auto octaveSlope = responseDb (lowCutIr, 25.0, 48000.0) - responseDb (lowCutIr, 50.0, 48000.0);
    EXPECT_NEAR (octaveSlope, -12.0, 0.2);
}

TEST (Eq, FrequenciesAreLimitedTo45PercentOfTheSampleRate)
{
    SettingValues v;
    v.lowPass = 22000.0f;
    v.highFreq = 21000.0f;
    const auto limited = buildKernelSettings (v, 44100.0);
    EXPECT_EQ (limited.coefficients[highCut], FilterDesign::makeLowPass (44100.0, 19845.0f));
    EXPECT_EQ (limited.coefficients[highShelf], FilterDesign::makeHighShelf (44100.0, 19845.0f, 0.7071f, 1.0f));
}

TEST (Eq, PeakBandAtZeroGainIsIdentity)
{
    for (const float q : { 0.2f, 0.9f, 12.0f })
    {
        SettingValues v;
        v.eqOn = v.mid1On = 1.0f;
        v.mid1Q = q;
        v.mid1Gain = 0.0f;
        const auto c = buildKernelSettings (v, 48000.0).coefficients[mid1];
        EXPECT_FLOAT_EQ (c[0], 1.0f);
        EXPECT_FLOAT_EQ (c[2], c[4]);

        const auto input = noise (4096, 0.5f, 7);
        StripFixture f;
        f.apply (v);
        const auto out = f.run (input);

        for (size_t i = 0; i < input.size(); ++i)
            ASSERT_NEAR (out[i], input[i], 1.0e-5f);
    }
}

TEST (Eq, ShelvesBoostFarFromTheirCornerAndLeaveTheOtherSide)
{
    SettingValues low;
    low.eqOn = low.lowOn = 1.0f;
    low.lowFreq = 200.0f;
    low.lowGain = 15.0f;
    const auto lowIr = impulseResponse (low);
    EXPECT_NEAR (responseDb (lowIr, 20.0, 48000.0), 15.0, 0.2);
    EXPECT_NEAR (responseDb (lowIr, 8000.0, 48000.0), 0.0, 0.2);

    SettingValues high;
    high.eqOn = high.highOn = 1.0f;
    high.highFreq = 4000.0f;
    high.highGain = 15.0f;
    const auto highIr = impulseResponse (high);
    EXPECT_NEAR (responseDb (highIr, 20000.0, 48000.0), 15.0, 0.5);
    EXPECT_NEAR (responseDb (highIr, 100.0, 48000.0), 0.0, 0.2);
}

TEST (Eq, PeakBandBoostsAtItsFrequency)
{
    SettingValues v;
    v.eqOn = v.mid2On = 1.0f;
    v.mid2Freq = 2000.0f;
    v.mid2Gain = -12.0f;
    v.mid2Q = 4.0f;
    const auto ir = impulseResponse (v);
    EXPECT_NEAR (responseDb (ir, 2000.0, 48000.0), -12.0, 0.05);
    EXPECT_NEAR (responseDb (ir, 200.0, 48000.0), 0.0, 0.1);
}

TEST (Eq, SwitchedOffBandFreezesAndResumesWithoutReset)
{
    SettingValues on;
    on.eqOn = on.lowMidOn = 1.0f;
    on.lowMidGain = 9.0f;
    SettingValues off = on;
    off.lowMidOn = 0.0f;

    StripFixture f;
    auto block = noise (300, 0.5f, 3);
    f.apply (on);
    f.processMono (block);
    const auto frozen = f.strip.getChannelState (0).biquadState[lowMid];
    EXPECT_NE (frozen[0], 0.0f);

    f.apply (off);
    auto silentBlock = noise (300, 0.5f, 4);
    const auto untouched = silentBlock;
    f.processMono (silentBlock);
    EXPECT_EQ (silentBlock, untouched);
    EXPECT_EQ (f.strip.getChannelState (0).biquadState[lowMid], frozen);

    // Back on: the first output sample uses the frozen state.
    f.apply (on);
    std::vector<float> one { 0.0f };
    f.processMono (one);
    EXPECT_EQ (one[0], frozen[0]);
}

TEST (Eq, FiltersAndBandsRunOnlyWhenTheirModuleSwitchIsOn)
{
    SettingValues v = filters (true, false);
    v.highPass = 300.0f;
    v.lowOn = 1.0f;        // band on but EQ off: only the low cut runs
    v.lowGain = 15.0f;
    auto ir = impulseResponse (v);
    EXPECT_LT (responseDb (ir, 50.0, 48000.0), -25.0);

    v.filtersOn = 0.0f;    // filters off, EQ on: only the shelf runs
    v.eqOn = 1.0f;
    ir = impulseResponse (v);
    EXPECT_NEAR (responseDb (ir, 20.0, 48000.0), 15.0, 0.3);
}
