#include "PluginProcessor.h"

namespace
{
    constexpr int parameterVersion = 1;

    std::unique_ptr<juce::AudioParameterFloat> floatParameter (const char* id, const char* name,
                                                               juce::NormalisableRange<float> range,
                                                               float defaultValue, const char* unit)
    {
        return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, parameterVersion }, name, range,
                                                            defaultValue,
                                                            juce::AudioParameterFloatAttributes().withLabel (unit));
    }

    std::unique_ptr<juce::AudioParameterFloat> meterParameter (const char* id, const char* name, float maximum,
                                                               juce::AudioProcessorParameter::Category category)
    {
        return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, parameterVersion }, name,
                                                            juce::NormalisableRange<float> (0.0f, maximum, 0.0f, 1.0f),
                                                            0.0f,
                                                            juce::AudioParameterFloatAttributes()
                                                                .withAutomatable (false)
                                                                .withCategory (category));
    }

    std::unique_ptr<juce::AudioParameterBool> boolParameter (const char* id, const char* name, bool defaultValue)
    {
        return std::make_unique<juce::AudioParameterBool> (juce::ParameterID { id, parameterVersion }, name, defaultValue);
    }

    juce::NormalisableRange<float> range (float start, float end, float interval, float skew)
    {
        return { start, end, interval, skew };
    }
}

juce::AudioProcessorValueTreeState::ParameterLayout VelornAudioProcessor::createParameterLayout()
{
    using Category = juce::AudioProcessorParameter::Category;
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (floatParameter ("inputGain", "Input Gain", range (-24.0f, 24.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (boolParameter ("phase", "Phase Invert", false));
    layout.add (std::make_unique<juce::AudioParameterInt> (juce::ParameterID { "moduleOrder", parameterVersion },
                                                           "Module Order", 0, 23, 0));
    layout.add (boolParameter ("filtersOn", "Filters", false));
    layout.add (boolParameter ("highPassOn", "Low Cut", false));
    layout.add (boolParameter ("lowPassOn", "High Cut", false));
    layout.add (floatParameter ("highPass", "Low Cut", range (20.0f, 500.0f, 1.0f, 0.35f), 20.0f, "Hz"));
    layout.add (floatParameter ("lowPass", "High Cut", range (2000.0f, 22000.0f, 1.0f, 0.32f), 22000.0f, "Hz"));

    layout.add (boolParameter ("gateOn", "Gate", false));
    layout.add (floatParameter ("gateThreshold", "Gate Threshold", range (-80.0f, 0.0f, 0.1f, 1.0f), -45.0f, "dB"));
    layout.add (floatParameter ("gateRange", "Gate Range", range (-80.0f, 0.0f, 0.5f, 1.0f), -60.0f, "dB"));
    layout.add (floatParameter ("gateAttack", "Gate Attack", range (0.1f, 100.0f, 0.1f, 0.4f), 2.0f, "ms"));
    layout.add (floatParameter ("gateRelease", "Gate Release", range (10.0f, 1000.0f, 1.0f, 0.4f), 180.0f, "ms"));

    layout.add (boolParameter ("eqOn", "EQ", false));
    layout.add (boolParameter ("lowOn", "Low Band", false));
    layout.add (boolParameter ("lowMidOn", "Low Mid Band", false));
    layout.add (boolParameter ("mid1On", "Mid 1 Band", false));
    layout.add (boolParameter ("mid2On", "Mid 2 Band", false));
    layout.add (boolParameter ("highMidOn", "High Mid Band", false));
    layout.add (boolParameter ("highOn", "High Band", false));
    layout.add (floatParameter ("lowFreq", "Low Shelf Frequency", range (20.0f, 2000.0f, 1.0f, 0.35f), 100.0f, "Hz"));
    layout.add (floatParameter ("lowGain", "Low Shelf", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (floatParameter ("lowMidFreq", "Low Mid Frequency", range (100.0f, 2000.0f, 1.0f, 0.35f), 350.0f, "Hz"));
    layout.add (floatParameter ("lowMidGain", "Low Mid Gain", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (floatParameter ("lowMidQ", "Low Mid Q", range (0.2f, 12.0f, 0.01f, 0.35f), 0.9f, ""));
    layout.add (floatParameter ("mid1Freq", "Mid 1 Frequency", range (180.0f, 6000.0f, 1.0f, 0.35f), 800.0f, "Hz"));
    layout.add (floatParameter ("mid1Gain", "Mid 1 Gain", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (floatParameter ("mid1Q", "Mid 1 Q", range (0.2f, 12.0f, 0.01f, 0.35f), 2.0f, ""));
    layout.add (floatParameter ("mid2Freq", "Mid 2 Frequency", range (300.0f, 12000.0f, 1.0f, 0.35f), 1600.0f, "Hz"));
    layout.add (floatParameter ("mid2Gain", "Mid 2 Gain", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (floatParameter ("mid2Q", "Mid 2 Q", range (0.2f, 12.0f, 0.01f, 0.35f), 2.0f, ""));
    layout.add (floatParameter ("highMidFreq", "High Mid Frequency", range (600.0f, 12000.0f, 1.0f, 0.35f), 3000.0f, "Hz"));
    layout.add (floatParameter ("highMidGain", "High Mid Gain", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (floatParameter ("highMidQ", "High Mid Q", range (0.2f, 12.0f, 0.01f, 0.35f), 0.9f, ""));
    layout.add (floatParameter ("highFreq", "High Shelf Frequency", range (2000.0f, 22000.0f, 1.0f, 0.35f), 12000.0f, "Hz"));
    layout.add (floatParameter ("highGain", "High Shelf", range (-15.0f, 15.0f, 0.1f, 1.0f), 0.0f, "dB"));

    layout.add (boolParameter ("compressorOn", "VCA Compressor", false));
    layout.add (floatParameter ("compThreshold", "Compressor Threshold", range (-50.0f, 0.0f, 0.1f, 1.0f), -18.0f, "dB"));
    layout.add (floatParameter ("compRatio", "Compressor Ratio", range (1.0f, 20.0f, 0.1f, 0.55f), 4.0f, ":1"));
    layout.add (floatParameter ("compAttack", "Compressor Attack", range (0.1f, 100.0f, 0.1f, 0.4f), 10.0f, "ms"));
    layout.add (floatParameter ("compRelease", "Compressor Release", range (20.0f, 1500.0f, 1.0f, 0.4f), 150.0f, "ms"));
    layout.add (floatParameter ("compMakeup", "Compressor Makeup", range (0.0f, 24.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (boolParameter ("compAutoGain", "Compressor Auto Gain", true));

    layout.add (boolParameter ("eqPost", "EQ After Compressor", false));
    layout.add (floatParameter ("outputGain", "Output Gain", range (-24.0f, 24.0f, 0.1f, 1.0f), 0.0f, "dB"));
    layout.add (boolParameter ("bypass", "Bypass", false));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "dspAnalyserActive", parameterVersion },
                                                            "DSP Analyser Active", false,
                                                            juce::AudioParameterBoolAttributes()
                                                                .withAutomatable (false)
                                                                .withMeta (true)));

    layout.add (meterParameter ("gainReductionMeter", "Gain Reduction Meter", 24.0f, Category::compressorLimiterGainReductionMeter));
    layout.add (meterParameter ("outputMeter", "Output Meter", 1.0f, Category::outputMeter));
    layout.add (meterParameter ("inputMeter", "Input Meter", 1.0f, Category::inputMeter));
    layout.add (meterParameter ("gateReductionMeter", "Gate Reduction Meter", 1.0f, Category::expanderGateGainReductionMeter));
    layout.add (meterParameter ("gateOpenMeter", "Gate Open Meter", 1.0f, Category::analysisMeter));

    for (int i = 0; i < velorn::numSpectrumMeters; ++i)
        layout.add (meterParameter (("spectrumMeter" + juce::String (i)).toRawUTF8(),
                                    ("Spectrum " + juce::String (i + 1)).toRawUTF8(), 1.0f, Category::analysisMeter));

    return layout;
}
