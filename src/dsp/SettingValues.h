#pragma once

namespace velorn
{

/** The plain (unnormalised) values of every parameter that shapes the sound,
    named after their parameter identifiers. Switches count as on at 0.5. */
struct SettingValues
{
    float inputGain = 0.0f;
    float phase = 0.0f;
    float moduleOrder = 0.0f;
    float filtersOn = 0.0f;
    float highPassOn = 0.0f;
    float lowPassOn = 0.0f;
    float highPass = 20.0f;
    float lowPass = 22000.0f;
    float gateOn = 0.0f;
    float gateThreshold = -45.0f;
    float gateRange = -60.0f;
    float gateAttack = 2.0f;
    float gateRelease = 180.0f;
    float eqOn = 0.0f;
    float lowOn = 0.0f;
    float lowMidOn = 0.0f;
    float mid1On = 0.0f;
    float mid2On = 0.0f;
    float highMidOn = 0.0f;
    float highOn = 0.0f;
    float lowFreq = 100.0f;
    float lowGain = 0.0f;
    float lowMidFreq = 350.0f;
    float lowMidGain = 0.0f;
    float lowMidQ = 0.9f;
    float mid1Freq = 800.0f;
    float mid1Gain = 0.0f;
    float mid1Q = 2.0f;
    float mid2Freq = 1600.0f;
    float mid2Gain = 0.0f;
    float mid2Q = 2.0f;
    float highMidFreq = 3000.0f;
    float highMidGain = 0.0f;
    float highMidQ = 0.9f;
    float highFreq = 12000.0f;
    float highGain = 0.0f;
    float compressorOn = 0.0f;
    float compThreshold = -18.0f;
    float compRatio = 4.0f;
    float compAttack = 10.0f;
    float compRelease = 150.0f;
    float compMakeup = 0.0f;
    float compAutoGain = 1.0f;
    float outputGain = 0.0f;
    float bypass = 0.0f;
};

} // namespace velorn
