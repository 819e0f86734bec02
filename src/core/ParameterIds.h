#pragma once

#include "../dsp/SettingValues.h"

#include <array>

namespace velorn
{

/** The identifiers of the 47 parameters that are settings, in host order.
    The processor listens to exactly these; the meters that follow them are not. */
inline constexpr std::array<const char*, 47> settingParameterIds {
    "inputGain", "phase", "moduleOrder", "filtersOn", "highPassOn", "lowPassOn", "highPass", "lowPass",
    "gateOn", "gateThreshold", "gateRange", "gateAttack", "gateRelease",
    "eqOn", "lowOn", "lowMidOn", "mid1On", "mid2On", "highMidOn", "highOn",
    "lowFreq", "lowGain", "lowMidFreq", "lowMidGain", "lowMidQ", "mid1Freq", "mid1Gain", "mid1Q",
    "mid2Freq", "mid2Gain", "mid2Q", "highMidFreq", "highMidGain", "highMidQ", "highFreq", "highGain",
    "compressorOn", "compThreshold", "compRatio", "compAttack", "compRelease", "compMakeup", "compAutoGain",
    "eqPost", "outputGain", "bypass", "dspAnalyserActive"
};

inline constexpr int numSpectrumMeters = 24;

/** Where each parameter that shapes the sound lands in SettingValues.
    "eqPost" and "dspAnalyserActive" never reach the processing. */
struct SettingField
{
    const char* id;
    float SettingValues::* member;
};

inline constexpr std::array<SettingField, 45> settingFields { {
    { "inputGain", &SettingValues::inputGain },
    { "phase", &SettingValues::phase },
    { "moduleOrder", &SettingValues::moduleOrder },
    { "filtersOn", &SettingValues::filtersOn },
    { "highPassOn", &SettingValues::highPassOn },
    { "lowPassOn", &SettingValues::lowPassOn },
    { "highPass", &SettingValues::highPass },
    { "lowPass", &SettingValues::lowPass },
    { "gateOn", &SettingValues::gateOn },
    { "gateThreshold", &SettingValues::gateThreshold },
    { "gateRange", &SettingValues::gateRange },
    { "gateAttack", &SettingValues::gateAttack },
    { "gateRelease", &SettingValues::gateRelease },
    { "eqOn", &SettingValues::eqOn },
    { "lowOn", &SettingValues::lowOn },
    { "lowMidOn", &SettingValues::lowMidOn },
    { "mid1On", &SettingValues::mid1On },
    { "mid2On", &SettingValues::mid2On },
    { "highMidOn", &SettingValues::highMidOn },
    { "highOn", &SettingValues::highOn },
    { "lowFreq", &SettingValues::lowFreq },
    { "lowGain", &SettingValues::lowGain },
    { "lowMidFreq", &SettingValues::lowMidFreq },
    { "lowMidGain", &SettingValues::lowMidGain },
    { "lowMidQ", &SettingValues::lowMidQ },
    { "mid1Freq", &SettingValues::mid1Freq },
    { "mid1Gain", &SettingValues::mid1Gain },
    { "mid1Q", &SettingValues::mid1Q },
    { "mid2Freq", &SettingValues::mid2Freq },
    { "mid2Gain", &SettingValues::mid2Gain },
    { "mid2Q", &SettingValues::mid2Q },
    { "highMidFreq", &SettingValues::highMidFreq },
    { "highMidGain", &SettingValues::highMidGain },
    { "highMidQ", &SettingValues::highMidQ },
    { "highFreq", &SettingValues::highFreq },
    { "highGain", &SettingValues::highGain },
    { "compressorOn", &SettingValues::compressorOn },
    { "compThreshold", &SettingValues::compThreshold },
    { "compRatio", &SettingValues::compRatio },
    { "compAttack", &SettingValues::compAttack },
    { "compRelease", &SettingValues::compRelease },
    { "compMakeup", &SettingValues::compMakeup },
    { "compAutoGain", &SettingValues::compAutoGain },
    { "outputGain", &SettingValues::outputGain },
    { "bypass", &SettingValues::bypass },
} };

} // namespace velorn
