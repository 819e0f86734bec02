#include "PluginProcessor.h"

#include <cmath>

namespace
{
    const juce::Identifier analyserActiveId { "dspAnalyserActive" };
    constexpr juce::uint32 chunkMagic = 0x21324356;   // "VC2!"
    constexpr int chunkHeaderBytes = 8;

    /** The XML of a state chunk, read by the rules of JUCE's binary wrapper,
        or nothing. Text that is not valid UTF-8 counts as text that does not
        parse: JUCE's XML parser would read past the end of a malformed
        multi-byte sequence. */
    std::unique_ptr<juce::XmlElement> readChunkXml (const void* data, int sizeInBytes)
    {
        if (data == nullptr || sizeInBytes <= chunkHeaderBytes || juce::ByteOrder::littleEndianInt (data) != chunkMagic)
            return {};

        const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

        if (length <= 0)
            return {};

        const auto* text = static_cast<const char*> (data) + chunkHeaderBytes;

        if (! juce::CharPointer_UTF8::isValidString (text, juce::jmin (sizeInBytes - chunkHeaderBytes, length)))
            return {};

        return juce::AudioProcessor::getXmlFromBinary (data, sizeInBytes);
    }

    /** A "value" that reads as NaN would turn its parameter into NaN; it is
        dropped, so the parameter takes its default as if the value were missing.
        Infinite values stay: they clamp to the range's ends like any other
        out-of-range value. The parameter tree takes values from every child
        that names a parameter, whatever its tag, so every child is checked. */
    void dropNaNValues (juce::XmlElement& root)
    {
        for (auto* child : root.getChildIterator())
            if (child->hasAttribute ("value") && std::isnan (child->getDoubleAttribute ("value")))
                child->removeAttribute ("value");
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
    const auto xml = readChunkXml (data, sizeInBytes);

    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (parameters.state.getType().toString()))
        return;

    dropNaNValues (*xml);
    parameters.replaceState (juce::ValueTree::fromXml (*xml));
    setSpectrumDisplayActive (spectrumDisplayActive);
    settingsDirty.store (true);
}
