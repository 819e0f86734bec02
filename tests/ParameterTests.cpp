#include "core/PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
    struct ExpectedParameter
    {
        const char* id;
        const char* name;
        float start, end, defaultValue;
        const char* unit;
    };

    // id, name, range and default of the 52 named parameters, in host order.
    const ExpectedParameter expected[] = {
        { "inputGain", "Input Gain", -24, 24, 0, "dB" },
        { "phase", "Phase Invert", 0, 1, 0, "" },
        { "moduleOrder", "Module Order", 0, 23, 0, "" },
        { "filtersOn", "Filters", 0, 1, 0, "" },
        { "highPassOn", "Low Cut", 0, 1, 0, "" },
        { "lowPassOn", "High Cut", 0, 1, 0, "" },
        { "highPass", "Low Cut", 20, 500, 20, "Hz" },
        { "lowPass", "High Cut", 2000, 22000, 22000, "Hz" },
        { "gateOn", "Gate", 0, 1, 0, "" },
        { "gateThreshold", "Gate Threshold", -80, 0, -45, "dB" },
        { "gateRange", "Gate Range", -80, 0, -60, "dB" },
        { "gateAttack", "Gate Attack", 0.1f, 100, 2, "ms" },
        { "gateRelease", "Gate Release", 10, 1000, 180, "ms" },
        { "eqOn", "EQ", 0, 1, 0, "" },
        { "lowOn", "Low Band", 0, 1, 0, "" },
        { "lowMidOn", "Low Mid Band", 0, 1, 0, "" },
        { "mid1On", "Mid 1 Band", 0, 1, 0, "" },
        { "mid2On", "Mid 2 Band", 0, 1, 0, "" },
        { "highMidOn", "High Mid Band", 0, 1, 0, "" },
        { "highOn", "High Band", 0, 1, 0, "" },
        { "lowFreq", "Low Shelf Frequency", 20, 2000, 100, "Hz" },
        { "lowGain", "Low Shelf", -15, 15, 0, "dB" },
        { "lowMidFreq", "Low Mid Frequency", 100, 2000, 350, "Hz" },
        { "lowMidGain", "Low Mid Gain", -15, 15, 0, "dB" },
        { "lowMidQ", "Low Mid Q", 0.2f, 12, 0.9f, "" },
        { "mid1Freq", "Mid 1 Frequency", 180, 6000, 800, "Hz" },
        { "mid1Gain", "Mid 1 Gain", -15, 15, 0, "dB" },
        { "mid1Q", "Mid 1 Q", 0.2f, 12, 2, "" },
        { "mid2Freq", "Mid 2 Frequency", 300, 12000, 1600, "Hz" },
        { "mid2Gain", "Mid 2 Gain", -15, 15, 0, "dB" },
        { "mid2Q", "Mid 2 Q", 0.2f, 12, 2, "" },
        { "highMidFreq", "High Mid Frequency", 600, 12000, 3000, "Hz" },
        { "highMidGain", "High Mid Gain", -15, 15, 0, "dB" },
        { "highMidQ", "High Mid Q", 0.2f, 12, 0.9f, "" },
        { "highFreq", "High Shelf Frequency", 2000, 22000, 12000, "Hz" },
        { "highGain", "High Shelf", -15, 15, 0, "dB" },
        { "compressorOn", "VCA Compressor", 0, 1, 0, "" },
        { "compThreshold", "Compressor Threshold", -50, 0, -18, "dB" },
        { "compRatio", "Compressor Ratio", 1, 20, 4, ":1" },
        { "compAttack", "Compressor Attack", 0.1f, 100, 10, "ms" },
        { "compRelease", "Compressor Release", 20, 1500, 150, "ms" },
        { "compMakeup", "Compressor Makeup", 0, 24, 0, "dB" },
        { "compAutoGain", "Compressor Auto Gain", 0, 1, 1, "" },
        { "eqPost", "EQ After Compressor", 0, 1, 0, "" },
        { "outputGain", "Output Gain", -24, 24, 0, "dB" },
        { "bypass", "Bypass", 0, 1, 0, "" },
        { "dspAnalyserActive", "DSP Analyser Active", 0, 1, 0, "" },
        { "gainReductionMeter", "Gain Reduction Meter", 0, 24, 0, "" },
        { "outputMeter", "Output Meter", 0, 1, 0, "" },
        { "inputMeter", "Input Meter", 0, 1, 0, "" },
        { "gateReductionMeter", "Gate Reduction Meter", 0, 1, 0, "" },
        { "gateOpenMeter", "Gate Open Meter", 0, 1, 0, "" },
    };

    juce::RangedAudioParameter& parameterAt (VelornAudioProcessor& p, int index)
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p.getParameters()[index]);
        EXPECT_NE (ranged, nullptr);
        return *ranged;
    }
}

TEST (Parameters, TableOrderIdsNamesRangesDefaultsAndUnits)
{
    VelornAudioProcessor processor;
    const auto& all = processor.getParameters();
    ASSERT_EQ (all.size(), 76);

    for (int i = 0; i < (int) std::size (expected); ++i)
    {
        const auto& e = expected[i];
        auto& p = parameterAt (processor, i);
        SCOPED_TRACE (e.id);
        EXPECT_EQ (p.getParameterID(), e.id);
        EXPECT_EQ (p.getName (100), e.name);
        EXPECT_FLOAT_EQ (p.getNormalisableRange().start, e.start);
        EXPECT_FLOAT_EQ (p.getNormalisableRange().end, e.end);
        EXPECT_FLOAT_EQ (p.convertFrom0to1 (p.getDefaultValue()), e.defaultValue);
        EXPECT_FLOAT_EQ (p.convertFrom0to1 (p.getValue()), e.defaultValue);
        EXPECT_EQ (p.getLabel(), e.unit);
    }

    for (int i = 0; i < velorn::numSpectrumMeters; ++i)
    {
        auto& p = parameterAt (processor, 52 + i);
        EXPECT_EQ (p.getParameterID(), "spectrumMeter" + juce::String (i));
        EXPECT_EQ (p.getName (100), "Spectrum " + juce::String (i + 1));
        EXPECT_EQ (p.getCategory(), juce::AudioProcessorParameter::analysisMeter);
    }
}

TEST (Parameters, AutomationAndMeterAttributes)
{
    VelornAudioProcessor processor;
    using Category = juce::AudioProcessorParameter::Category;

    for (int i = 0; i < 76; ++i)
    {
        auto& p = parameterAt (processor, i);
        SCOPED_TRACE (p.getParameterID());
        const bool isSetting = i < 47;
        const bool isAnalyserFlag = p.getParameterID() == "dspAnalyserActive";
        EXPECT_EQ (p.isAutomatable(), isSetting && ! isAnalyserFlag);
        EXPECT_EQ (p.isMetaParameter(), isAnalyserFlag);

        if (isSetting)
            EXPECT_EQ (p.getCategory(), Category::genericParameter);
    }

    const std::pair<const char*, Category> meterCategories[] = {
        { "gainReductionMeter", Category::compressorLimiterGainReductionMeter },
        { "outputMeter", Category::outputMeter },
        { "inputMeter", Category::inputMeter },
        { "gateReductionMeter", Category::expanderGateGainReductionMeter },
        { "gateOpenMeter", Category::analysisMeter },
    };

    for (const auto& [id, category] : meterCategories)
        EXPECT_EQ (processor.parameters.getParameter (id)->getCategory(), category) << id;
}

TEST (Parameters, StepsSkewsAndValueTexts)
{
    VelornAudioProcessor processor;
    auto& params = processor.parameters;

    struct Case { const char* id; float value; const char* text; };
    const Case cases[] = {
        { "lowMidQ", 0.9f, "0.90" },
        { "mid1Q", 2.0f, "2.00" },
        { "mid2Freq", 1600.0f, "1600" },
        { "gateThreshold", -45.0f, "-45.0" },
        { "gateRange", -60.0f, "-60.0" },
        { "moduleOrder", 7.0f, "7" },
    };

    for (const auto& c : cases)
    {
        auto* p = params.getParameter (c.id);
        EXPECT_EQ (p->getText (p->convertTo0to1 (c.value), 100), c.text) << c.id;
    }

    auto snapped = [&] (const char* id, float value)
    {
        auto* p = params.getParameter (id);
        return p->convertFrom0to1 (p->convertTo0to1 (value));
    };

    EXPECT_FLOAT_EQ (snapped ("gateRange", -60.3f), -60.5f);
    EXPECT_FLOAT_EQ (snapped ("gateThreshold", -45.04f), -45.0f);
    EXPECT_FLOAT_EQ (snapped ("moduleOrder", 7.4f), 7.0f);
    EXPECT_FLOAT_EQ (snapped ("moduleOrder", 40.0f), 23.0f);

    // Skewed ranges put their centre well below the arithmetic middle.
    const std::pair<const char*, float> skews[] = { { "highPass", 0.35f }, { "lowPass", 0.32f }, { "compRatio", 0.55f },
                                                    { "gateAttack", 0.4f }, { "inputGain", 1.0f } };

    for (const auto& [id, skew] : skews)
        EXPECT_FLOAT_EQ (params.getParameter (id)->getNormalisableRange().skew, skew) << id;
}
