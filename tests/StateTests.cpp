#include "ProcessorFixture.h"
#include "RandomSettings.h"

#include <gtest/gtest.h>

#include <thread>

using namespace velorn::test;

namespace
{
    juce::MemoryBlock save (VelornAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return block;
    }

    void restore (VelornAudioProcessor& p, const juce::MemoryBlock& block)
    {
        p.setStateInformation (block.getData(), (int) block.getSize());
    }

    std::unique_ptr<juce::XmlElement> xmlOf (const juce::MemoryBlock& block)
    {
        return juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize());
    }

    /** Wraps XML text the way the host would store it. */
    juce::MemoryBlock chunkFromXml (const juce::String& xmlText)
    {
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (xmlText), block);
        return block;
    }

    std::vector<float> allValues (VelornAudioProcessor& p)
    {
        std::vector<float> values;

        for (auto* parameter : p.getParameters())
            values.push_back (parameter->getValue());

        return values;
    }

    void setRandomSettings (VelornAudioProcessor& p, std::uint32_t seed)
    {
        const auto v = randomSettings (seed);

        for (const auto& field : velorn::settingFields)
            setParameter (p, field.id, v.*(field.member));

        setParameter (p, "eqPost", 1.0f);
    }

    juce::String paramValue (const juce::XmlElement& root, const char* id)
    {
        for (auto* param : root.getChildWithTagNameIterator ("PARAM"))
            if (param->getStringAttribute ("id") == id)
                return param->getStringAttribute ("value");

        return "(missing)";
    }
}

TEST (SavedState, RoundTripRestoresEveryValueExactly)
{
    for (std::uint32_t seed = 1; seed <= 5; ++seed)
    {
        VelornAudioProcessor original;
        setRandomSettings (original, seed);
        const auto chunk = save (original);

        VelornAudioProcessor restored;
        restore (restored, chunk);
        EXPECT_EQ (allValues (restored), allValues (original));
        EXPECT_EQ (getParameter (restored, "moduleOrder"), getParameter (original, "moduleOrder"));

        const auto first = xmlOf (chunk), second = xmlOf (save (restored));

        for (const auto& field : velorn::settingFields)
            EXPECT_EQ (paramValue (*first, field.id).getFloatValue(), paramValue (*second, field.id).getFloatValue()) << field.id;
    }
}

TEST (SavedState, ChunkLayoutIsSingleLineXmlInTheBinaryWrapper)
{
    VelornAudioProcessor p;
    const auto chunk = save (p);
    const auto* bytes = static_cast<const unsigned char*> (chunk.getData());
    const auto size = chunk.getSize();

    ASSERT_GT (size, 9u);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), 0x21324356u);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), (juce::uint32) (size - 9));
    EXPECT_EQ (bytes[size - 1], 0);

    const juce::String text (juce::CharPointer_UTF8 (reinterpret_cast<const char*> (bytes + 8)), size - 9);
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <VelornState"));
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    const auto xml = xmlOf (chunk);
    EXPECT_EQ (xml->getNumChildElements(), 76);
    EXPECT_FALSE (xml->hasAttribute ("guiWidth"));
    EXPECT_FALSE (xml->hasAttribute ("guiHeight"));

    // A second save into the same block replaces it rather than appending.
    juce::MemoryBlock reused (chunk);
    p.getStateInformation (reused);
    EXPECT_EQ (reused, chunk);
}

TEST (SavedState, AnalyserFlagIsWrittenAsZeroAndNeverSurvivesARestore)
{
    VelornAudioProcessor withDisplay;
    withDisplay.setSpectrumDisplayActive (true);
    ASSERT_EQ (getParameter (withDisplay, "dspAnalyserActive"), 1.0f);
    const auto chunk = save (withDisplay);
    const auto xml = xmlOf (chunk);
    EXPECT_EQ (xml->getStringAttribute ("dspAnalyserActive"), "0");
    EXPECT_EQ (paramValue (*xml, "dspAnalyserActive").getFloatValue(), 1.0f);
    EXPECT_EQ (getParameter (withDisplay, "dspAnalyserActive"), 1.0f);   // the live state is untouched

    VelornAudioProcessor withoutDisplay;
    restore (withoutDisplay, chunk);
    EXPECT_EQ (getParameter (withoutDisplay, "dspAnalyserActive"), 0.0f);

    restore (withDisplay, save (withoutDisplay));
    EXPECT_EQ (getParameter (withDisplay, "dspAnalyserActive"), 1.0f);
}

TEST (SavedState, RootTagIgnoresCaseAndMissingParametersTakeDefaults)
{
    VelornAudioProcessor p;
    setParameter (p, "gateThreshold", -20.0f);
    setParameter (p, "compRatio", 8.0f);
    restore (p, chunkFromXml ("<velornSTATE guiWidth=\"1800\" guiHeight=\"855\" custom=\"kept\">"
                              "<PARAM id=\"inputGain\" value=\"3.5\"/><PARAM id=\"unknownThing\" value=\"1\"/></velornSTATE>"));

    EXPECT_FLOAT_EQ (getParameter (p, "inputGain"), 3.5f);
    EXPECT_FLOAT_EQ (getParameter (p, "gateThreshold"), -45.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "compRatio"), 4.0f);

    const auto xml = xmlOf (save (p));
    EXPECT_EQ (xml->getIntAttribute ("guiWidth"), 1800);
    EXPECT_EQ (xml->getIntAttribute ("guiHeight"), 855);
    EXPECT_EQ (xml->getStringAttribute ("custom"), "kept");
    EXPECT_EQ (paramValue (*xml, "unknownThing"), "1");
    EXPECT_EQ (xml->getNumChildElements(), 77);

    // Root attributes keep their insertion order.
    EXPECT_EQ (xml->getAttributeName (0), "guiWidth");
    EXPECT_EQ (xml->getAttributeName (3), "dspAnalyserActive");
}

TEST (SavedState, ValuesAreClampedAndSnappedAndNaNFallsBackToTheDefault)
{
    VelornAudioProcessor p;
    restore (p, chunkFromXml ("<VelornState>"
                              "<PARAM id=\"inputGain\" value=\"99\"/>"
                              "<PARAM id=\"outputGain\" value=\"-1e30\"/>"
                              "<PARAM id=\"gateRange\" value=\"-60.3\"/>"
                              "<PARAM id=\"moduleOrder\" value=\"7.4\"/>"
                              "<PARAM id=\"compRatio\" value=\"nan\"/>"
                              "<PARAM id=\"compThreshold\" value=\"inf\"/>"
                              "<PARAM id=\"highPass\" value=\"loud\"/>"
                              "<OTHER id=\"lowGain\" value=\"nan\"/>"
                              "</VelornState>"));

    EXPECT_FLOAT_EQ (getParameter (p, "inputGain"), 24.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "outputGain"), -24.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "gateRange"), -60.5f);
    EXPECT_FLOAT_EQ (getParameter (p, "moduleOrder"), 7.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "compRatio"), 4.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "compThreshold"), 0.0f);
    EXPECT_FLOAT_EQ (getParameter (p, "highPass"), 20.0f);   // text that is no number reads as 0, then clamps
    EXPECT_FLOAT_EQ (getParameter (p, "lowGain"), 0.0f);      // any child naming a parameter is read, whatever its tag

    for (auto* parameter : p.getParameters())
        EXPECT_TRUE (std::isfinite (parameter->getValue()));
}

TEST (SavedState, MalformedChunksChangeNothing)
{
    VelornAudioProcessor p;
    setRandomSettings (p, 42);
    const auto before = allValues (p);
    const auto good = save (p);

    auto withLength = [&] (juce::int32 length, size_t keepBytes)
    {
        juce::MemoryBlock b (good.getData(), juce::jmin (keepBytes, good.getSize()));
        static_cast<juce::int32*> (b.getData())[1] = juce::ByteOrder::swapIfBigEndian (length);
        return b;
    };

    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[0] = 'X';

    const juce::MemoryBlock cases[] = {
        juce::MemoryBlock(),
        juce::MemoryBlock (good.getData(), 8),
        wrongMagic,
        withLength (0, good.getSize()),
        withLength (-5, good.getSize()),
        withLength (1 << 30, 200),   // longer than the data: cut there, and the cut text does not parse
        chunkFromXml ("<OtherPlugin><PARAM id=\"inputGain\" value=\"3\"/></OtherPlugin>"),
        [] { juce::MemoryBlock b; juce::MemoryOutputStream out (b, false); out.writeInt (0x21324356); out.writeInt (12); out.write ("not xml at all", 12); out.writeByte (0); return b; }(),
        // A malformed UTF-8 lead byte near the end of otherwise good XML.
        [] { juce::MemoryBlock b; juce::MemoryOutputStream out (b, false); const char text[] = "<VelornState><PARAM id=\"inputGain\" value=\"3\"/>\xff\xff\xff";
             out.writeInt (0x21324356); out.writeInt ((int) sizeof (text) - 1); out.write (text, sizeof (text) - 1); out.writeByte (0); return b; }(),
    };

    for (size_t i = 0; i < std::size (cases); ++i)
    {
        restore (p, cases[i]);
        EXPECT_EQ (allValues (p), before) << "case " << i;
    }

    p.setStateInformation (nullptr, 0);
    p.setStateInformation (nullptr, -3);
    EXPECT_EQ (allValues (p), before);
}

TEST (SavedState, RestoreTakesEffectAtTheNextBlockWithoutBlockingTheAudioThread)
{
    PreparedProcessor pp;
    auto& p = pp.processor;

    VelornAudioProcessor source;
    setParameter (source, "outputGain", -12.0f);
    const auto quieter = save (source);
    const auto unity = save (p);

    std::atomic<bool> running { true };
    std::atomic<int> blocksProcessed { 0 };
    std::atomic<bool> sawNonFinite { false };

    std::thread audio ([&]
    {
        auto buffer = juce::AudioBuffer<float> (2, 64);
        juce::MidiBuffer midi;

        while (running.load())
        {
            for (int c = 0; c < 2; ++c)
                juce::FloatVectorOperations::fill (buffer.getWritePointer (c), 0.5f, 64);

            p.processBlock (buffer, midi);

            if (! std::isfinite (buffer.getSample (0, 0)))
                sawNonFinite = true;

            ++blocksProcessed;
        }
    });

    for (int i = 0; i < 200; ++i)
        restore (p, i % 2 == 0 ? quieter : unity);

    // The audio thread kept going while the message thread restored.
    const auto during = blocksProcessed.load();
    while (blocksProcessed.load() < during + 10)
        std::this_thread::yield();

    running = false;
    audio.join();
    EXPECT_FALSE (sawNonFinite.load());
    EXPECT_GT (during, 0);

    // The last restore (unity) was followed by blocks: they use it. Now restore the quieter one.
    restore (p, quieter);
    auto buffer = juce::AudioBuffer<float> (2, 64);
    juce::FloatVectorOperations::fill (buffer.getWritePointer (0), 0.5f, 64);
    juce::FloatVectorOperations::fill (buffer.getWritePointer (1), 0.5f, 64);
    pp.process (buffer);
    EXPECT_FLOAT_EQ (buffer.getSample (0, 0), 0.5f * velorn::decibelsToGain (-12.0f));
}
