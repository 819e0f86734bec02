#pragma once

#include "dsp/SettingValues.h"

#include <random>

namespace velorn::test
{

/** Settings drawn across every parameter's full range, every switch random. */
inline SettingValues randomSettings (std::uint32_t seed, bool everyModuleOn = false)
{
    std::mt19937 rng (seed);
    auto in = [&] (float lo, float hi) { return std::uniform_real_distribution<float> (lo, hi) (rng); };
    auto logIn = [&] (float lo, float hi) { return lo * std::pow (hi / lo, in (0.0f, 1.0f)); };
    auto coin = [&] { return everyModuleOn || in (0.0f, 1.0f) < 0.6f ? 1.0f : 0.0f; };

    SettingValues v;
    v.inputGain = in (-24.0f, 24.0f);
    v.phase = in (0.0f, 1.0f) < 0.5f ? 1.0f : 0.0f;
    v.moduleOrder = (float) std::uniform_int_distribution<int> (0, 23) (rng);
    v.filtersOn = coin(); v.highPassOn = coin(); v.lowPassOn = coin();
    v.highPass = logIn (20.0f, 500.0f);
    v.lowPass = logIn (2000.0f, 22000.0f);
    v.gateOn = coin();
    v.gateThreshold = in (-80.0f, 0.0f);
    v.gateRange = in (-80.0f, 0.0f);
    v.gateAttack = logIn (0.1f, 100.0f);
    v.gateRelease = logIn (10.0f, 1000.0f);
    v.eqOn = coin(); v.lowOn = coin(); v.lowMidOn = coin(); v.mid1On = coin();
    v.mid2On = coin(); v.highMidOn = coin(); v.highOn = coin();
    v.lowFreq = logIn (20.0f, 2000.0f);        v.lowGain = in (-15.0f, 15.0f);
    v.lowMidFreq = logIn (100.0f, 2000.0f);    v.lowMidGain = in (-15.0f, 15.0f);  v.lowMidQ = logIn (0.2f, 12.0f);
    v.mid1Freq = logIn (180.0f, 6000.0f);      v.mid1Gain = in (-15.0f, 15.0f);    v.mid1Q = logIn (0.2f, 12.0f);
    v.mid2Freq = logIn (300.0f, 12000.0f);     v.mid2Gain = in (-15.0f, 15.0f);    v.mid2Q = logIn (0.2f, 12.0f);
    v.highMidFreq = logIn (600.0f, 12000.0f);  v.highMidGain = in (-15.0f, 15.0f); v.highMidQ = logIn (0.2f, 12.0f);
    v.highFreq = logIn (2000.0f, 22000.0f);    v.highGain = in (-15.0f, 15.0f);
    v.compressorOn = coin();
    v.compThreshold = in (-50.0f, 0.0f);
    v.compRatio = logIn (1.0f, 20.0f);
    v.compAttack = logIn (0.1f, 100.0f);
    v.compRelease = logIn (20.0f, 1500.0f);
    v.compMakeup = in (0.0f, 24.0f);
    v.compAutoGain = in (0.0f, 1.0f) < 0.5f ? 1.0f : 0.0f;
    v.outputGain = in (-24.0f, 24.0f);
    return v;
}

} // namespace velorn::test
