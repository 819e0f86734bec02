#include "SettingsBuilder.h"

#include "FastMath.h"
#include "FilterDesign.h"

#include <algorithm>
#include <cmath>

namespace velorn
{
namespace
{
    constexpr double nyquistFraction = 0.45;
    constexpr float shelfQ = 0.7071f;
    constexpr float gateDetectorSeconds = 0.05f;
    constexpr float minimumTimeMs = 0.01f;
    constexpr float maximumAutoGainDb = 9.0f;
    constexpr float maximumMakeupDb = 24.0f;

    std::int32_t isOn (float value) noexcept { return value >= 0.5f ? 1 : 0; }

    /** One-pole smoothing coefficient for a time constant in milliseconds. */
    float onePoleCoefficient (float timeMs, float sampleRate) noexcept
    {
        return std::exp (-1.0f / (std::max (timeMs, minimumTimeMs) * 0.001f * sampleRate));
    }
}

float decibelsToGain (float decibels) noexcept
{
    constexpr float minusInfinityDb = -100.0f;
    return decibels > minusInfinityDb ? std::pow (10.0f, decibels * 0.05f) : 0.0f;
}

float compressorAutoGainDb (float thresholdDb, float ratio) noexcept
{
    return std::clamp ((1.0f - 1.0f / ratio) * thresholdDb * -0.5f, 0.0f, maximumAutoGainDb);
}

KernelSettings buildKernelSettings (const SettingValues& v, double preparedSampleRate) noexcept
{
    const auto fs = std::max (preparedSampleRate, 1.0);
    const auto fsf = static_cast<float> (fs);
    const auto nyquistLimit = static_cast<float> (nyquistFraction * fs);
    auto limitFrequency = [nyquistLimit] (float f) { return std::min (f, nyquistLimit); };

    KernelSettings s {};
    s.settingsTag = kernelSettingsTag;

    s.bypass = isOn (v.bypass);
    s.phase = isOn (v.phase);
    s.moduleOrder = std::clamp (static_cast<std::int32_t> (std::lround (v.moduleOrder)), 0, 23);
    s.filtersOn = isOn (v.filtersOn);
    s.highPassOn = isOn (v.highPassOn);
    s.lowPassOn = isOn (v.lowPassOn);
    s.gateOn = isOn (v.gateOn);
    s.eqOn = isOn (v.eqOn);
    s.lowOn = isOn (v.lowOn);
    s.lowMidOn = isOn (v.lowMidOn);
    s.mid1On = isOn (v.mid1On);
    s.mid2On = isOn (v.mid2On);
    s.highMidOn = isOn (v.highMidOn);
    s.highOn = isOn (v.highOn);
    s.compressorOn = isOn (v.compressorOn);

    s.inputGain = decibelsToGain (v.inputGain);
    s.outputGain = decibelsToGain (v.outputGain);

    s.gateThresholdDb = v.gateThreshold;
    s.gateRange = decibelsToGain (v.gateRange);
    s.gateAttackCoef = onePoleCoefficient (v.gateAttack, fsf);
    s.gateReleaseCoef = onePoleCoefficient (v.gateRelease, fsf);
    s.gateDetectorCoef = std::exp (-1.0f / (gateDetectorSeconds * fsf));

    s.compThresholdDb = v.compThreshold;
    s.compRatio = v.compRatio;
    s.compAttackCoef = onePoleCoefficient (v.compAttack, fsf);
    s.compReleaseCoef = onePoleCoefficient (v.compRelease, fsf);
    const auto autoDb = isOn (v.compAutoGain) != 0 ? compressorAutoGainDb (s.compThresholdDb, s.compRatio) : 0.0f;
    const auto makeupDb = std::clamp (autoDb + v.compMakeup, 0.0f, maximumMakeupDb);
    s.makeupGain = decibelsToGain (makeupDb);

    s.coefficients[lowCut] = FilterDesign::makeHighPass (fs, limitFrequency (v.highPass));
    s.coefficients[highCut] = FilterDesign::makeLowPass (fs, limitFrequency (v.lowPass));
    s.coefficients[lowShelf] = FilterDesign::makeLowShelf (fs, limitFrequency (v.lowFreq), shelfQ, decibelsToGain (v.lowGain));
    s.coefficients[lowMid] = FilterDesign::makePeakFilter (fs, limitFrequency (v.lowMidFreq), v.lowMidQ, decibelsToGain (v.lowMidGain));
    s.coefficients[mid1] = FilterDesign::makePeakFilter (fs, limitFrequency (v.mid1Freq), v.mid1Q, decibelsToGain (v.mid1Gain));
    s.coefficients[mid2] = FilterDesign::makePeakFilter (fs, limitFrequency (v.mid2Freq), v.mid2Q, decibelsToGain (v.mid2Gain));
    s.coefficients[highMid] = FilterDesign::makePeakFilter (fs, limitFrequency (v.highMidFreq), v.highMidQ, decibelsToGain (v.highMidGain));
    s.coefficients[highShelf] = FilterDesign::makeHighShelf (fs, limitFrequency (v.highFreq), shelfQ, decibelsToGain (v.highGain));

    s.settingsChecksum = computeSettingsChecksum (s);
    return s;
}

} // namespace velorn
