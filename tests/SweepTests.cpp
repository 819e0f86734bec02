// Every sample rate a host may pick, every awkward block size, every module on
// and every parameter at the ends of its range: the output stays finite and
// bounded (no filter blows up) and so do the meters.

#include "ProcessorFixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace velorn::test;

namespace
{
    /** Every setting at one end of its range, chosen by the bits of pattern;
        the switches of all modules and sections stay on. */
    void setRangeEnds (VelornAudioProcessor& p, std::uint32_t pattern)
    {
        std::mt19937 rng (pattern);

        for (const auto* id : velorn::settingParameterIds)
        {
            auto* parameter = p.parameters.getParameter (id);
            const auto atTop = pattern == 0 ? false : pattern == 1 ? true : (rng() & 1u) != 0;
            parameter->setValueNotifyingHost (atTop ? 1.0f : 0.0f);
        }

        for (const auto* id : { "filtersOn", "highPassOn", "lowPassOn", "gateOn", "eqOn", "lowOn", "lowMidOn",
                                "mid1On", "mid2On", "highMidOn", "highOn", "compressorOn" })
            setParameter (p, id, 1.0f);

        setParameter (p, "bypass", 0.0f);
    }
}

TEST (Sweep, EveryRateBlockSizeAndRangeEndStaysFiniteAndBounded)
{
    const double rates[] = { 8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 384000 };
    const int blockSizes[] = { 0, 1, 2, 3, 64, 511, 4096, 16384 };
    const std::uint32_t patterns[] = { 0, 1, 2, 3, 4, 5, 6, 7 };
    constexpr float bound = 1.0e7f;   // +24 dB in and out, 24 dB of make-up and six 15 dB bands stay far below this

    for (const auto rate : rates)
    {
        for (const auto pattern : patterns)
        {
            SCOPED_TRACE (::testing::Message() << rate << " Hz, range ends " << pattern);
            VelornAudioProcessor p;
            p.prepareToPlay (rate, 512);
            setRangeEnds (p, pattern);

            const auto totalSamples = (int) (rate * 0.25);
            auto processed = 0;
            auto blockIndex = 0;

            while (processed < totalSamples)
            {
                const auto size = blockSizes[blockIndex % 8];
                const auto channels = blockIndex % 3 == 2 ? 1 : 2;
                const auto loud = (blockIndex / 8) % 2 == 0;
                auto buffer = noiseBuffer (channels, size, loud ? 1.0f : 0.0f, (std::uint32_t) blockIndex);
                juce::MidiBuffer midi;
                p.processBlock (buffer, midi);

                for (int c = 0; c < channels; ++c)
                    for (int i = 0; i < size; ++i)
                    {
                        const auto y = buffer.getSample (c, i);
                        ASSERT_TRUE (std::isfinite (y) && std::abs (y) < bound) << "block " << blockIndex << ": " << y;
                    }

                for (const float meter : { p.inputLevelDb[0].load(), p.outputLevelDb[0].load(), p.outputLevelDb[1].load(),
                                           p.compReductionDb.load(), p.gateGainDb.load() })
                    ASSERT_TRUE (std::isfinite (meter)) << "block " << blockIndex;

                processed += size;
                ++blockIndex;
            }
        }
    }
}
