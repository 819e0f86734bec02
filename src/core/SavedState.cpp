#include "PluginProcessor.h"

#include <cmath>

namespace
{
    const juce::Identifier analyserActiveId { "dspAnalyserActive" };

    /** A "value" that reads as NaN would turn its parameter into NaN; it is
        dropped, so the parameter takes its default as if the value were missing.
        Infinite values stay: they clamp to the range's ends like any other
        out-of-range value. */
    void dropNaNValues (juce::XmlElement& root)
    {
        for (auto* param : root.getChildWithTagNameIterator ("PARAM"))
            if (param->hasAttribute ("value") && std::isnan (param->getDoubleAttribute ("value")))
                param->removeAttribute ("value");
    }
}

void VelornAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = parameters.copyState();
    state.setProperty (analyserActiveId, false, nullptr);

    if (const auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void VelornAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (parameters.state.getType().toString()))
        return;

    dropNaNValues (*xml);
    parameters.replaceState (juce::ValueTree::fromXml (*xml));
    setSpectrumDisplayActive (spectrumDisplayActive);
    settingsDirty.store (true);
}
