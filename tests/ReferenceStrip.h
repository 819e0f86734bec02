#pragma once

// A deliberately plain model of the signal path: one sample at a time through
// input gain and polarity, the modules in chain order and output gain, written
// straight from the processing rules with no block-wise restructuring. The
// optimised ChannelStrip must match it bit for bit.

#include "dsp/FastMath.h"
#include "dsp/Gate.h"
#include "dsp/KernelSettings.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velorn::reference
{

// Slot order of every "moduleOrder" value, written out as a table rather than
// computed, so that the decoder is checked against it.
inline constexpr std::array<std::array<int, 4>, 24> moduleOrderTable { {
    { 0, 1, 2, 3 }, { 0, 1, 3, 2 }, { 0, 2, 1, 3 }, { 0, 2, 3, 1 }, { 0, 3, 1, 2 }, { 0, 3, 2, 1 },
    { 1, 0, 2, 3 }, { 1, 0, 3, 2 }, { 1, 2, 0, 3 }, { 1, 2, 3, 0 }, { 1, 3, 0, 2 }, { 1, 3, 2, 0 },
    { 2, 0, 1, 3 }, { 2, 0, 3, 1 }, { 2, 1, 0, 3 }, { 2, 1, 3, 0 }, { 2, 3, 0, 1 }, { 2, 3, 1, 0 },
    { 3, 0, 1, 2 }, { 3, 0, 2, 1 }, { 3, 1, 0, 2 }, { 3, 1, 2, 0 }, { 3, 2, 0, 1 }, { 3, 2, 1, 0 },
} };

class ReferenceStrip
{
public:
    /** Takes a record that is already valid and within its limits. */
    void apply (const KernelSettings& settings)
    {
        s = settings;

        if (s.compressorOn == 0)
            compGain = makeupGainSmoothed = 1.0f;

        thresholdLinear = fastExp2 (std::clamp (s.gateThresholdDb * 0.1660964f, -24.0f, 8.0f));
    }

    void process (float* left, float* right, int numSamples)
    {
        const bool stereo = right != nullptr;
        float minComp = 1.0f, minGate = 1.0f;

        for (int i = 0; i < numSamples; ++i)
        {
            const float g = s.phase != 0 ? -s.inputGain : s.inputGain;
            float x[2] = { left[i] * g, stereo ? right[i] * g : 0.0f };

            for (const auto slot : moduleOrderTable[(size_t) s.moduleOrder])
            {
                if (slot == 1 && s.gateOn != 0)
                    gateSample (x, stereo, minGate);
                else if (slot == 2 && eqInChain())
                    eqSample (x, stereo);
                else if (slot == 3 && s.compressorOn != 0)
                    compressorSample (x, stereo, minComp);
            }

            left[i] = x[0] * s.outputGain;

            if (stereo)
                right[i] = x[1] * s.outputGain;
        }

        gateDb = s.gateOn != 0 ? fastGainToDb (std::max (minGate, 1.0e-9f)) : 0.0f;
        compDb = s.compressorOn != 0 ? fastGainToDb (std::max (minComp, 1.0e-9f)) : 0.0f;
    }

    float gateDb = 0.0f, compDb = 0.0f;
    bool gateOpen = true;

private:
    bool eqInChain() const
    {
        const bool anyBand = s.lowOn + s.lowMidOn + s.mid1On + s.mid2On + s.highMidOn + s.highOn > 0;
        return (s.filtersOn != 0 && (s.highPassOn != 0 || s.lowPassOn != 0)) || (s.eqOn != 0 && anyBand);
    }

    void gateSample (float* x, bool stereo, float& minGate)
    {
        bool open = false;
        float m = 1.0f;

        for (int c = 0; c < (stereo ? 2 : 1); ++c)
        {
            float& e = envelope[c];
            float& gg = gateGain[c];
            const float a = std::abs (x[c]);

            if (a > e)
                e = a;
            else
                e = a * (1.0f - s.gateDetectorCoef) + e * s.gateDetectorCoef;

            const float target = e >= thresholdLinear ? 1.0f : s.gateRange;

            if (target >= 0.999f)
                open = true;

            const float k = target <= gg ? s.gateReleaseCoef : s.gateAttackCoef;
            gg = k * gg + (1.0f - k) * target;
            x[c] = x[c] * gg;
            m = std::min (m, gg);
        }

        minGate = std::min (minGate, m);
        gateOpen = open;
    }

    void section (int slot, int c, float& x)
    {
        const auto& k = s.coefficients[(size_t) slot];
        auto& st = biquad[c][slot];
        const float y = k[0] * x + st[0];
        st[0] = k[1] * x - k[3] * y + st[1];
        st[1] = k[2] * x - k[4] * y;
        x = y;
    }

    void eqSample (float* x, bool stereo)
    {
        const int bandSwitches[6] = { s.lowOn, s.lowMidOn, s.mid1On, s.mid2On, s.highMidOn, s.highOn };

        for (int c = 0; c < (stereo ? 2 : 1); ++c)
        {
            if (s.filtersOn != 0)
            {
                if (s.highPassOn != 0) section (0, c, x[c]);
                if (s.lowPassOn != 0) section (1, c, x[c]);
            }

            if (s.eqOn != 0)
                for (int b = 0; b < 6; ++b)
                    if (bandSwitches[b] != 0)
                        section (2 + b, c, x[c]);
        }
    }

    void compressorSample (float* x, bool stereo, float& minComp)
    {
        const float peak = stereo ? std::max (std::abs (x[0]), std::abs (x[1])) : std::abs (x[0]);
        const float levelDb = fastGainToDb (std::max (peak, 1.0e-9f));
        const float T = s.compThresholdDb, R = s.compRatio;
        const float d = levelDb > T ? (T + (levelDb - T) / R - levelDb) * 0.1660964f : 0.0f;
        const float target = fastExp2 (std::clamp (d, -24.0f, 8.0f));
        const float k = compGain <= target ? s.compReleaseCoef : s.compAttackCoef;
        compGain = k * compGain + (1.0f - k) * target;
        minComp = std::min (minComp, compGain);

        const float M = s.makeupGain;
        float m = makeupGainSmoothed + (M - makeupGainSmoothed) * 0.01f;

        if (std::abs (M - m) < 1.0e-5f)
            m = M;

        makeupGainSmoothed = m;
        x[0] = x[0] * (makeupGainSmoothed * compGain);

        if (stereo)
            x[1] = x[1] * (makeupGainSmoothed * compGain);
    }

    KernelSettings s {};
    float thresholdLinear = 0.0f;
    float envelope[2] {}, gateGain[2] { 1.0f, 1.0f };
    float biquad[2][8][2] {};
    float compGain = 1.0f, makeupGainSmoothed = 1.0f;
};

} // namespace velorn::reference
