#include "RandomSettings.h"
#include "ReferenceStrip.h"
#include "StripFixture.h"
#include "TestSignals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace velorn;
using namespace velorn::test;

namespace
{
    /** A test signal with loud passages, quiet passages and silence, so the
        gate and compressor both move. */
    std::vector<float> programme (int numSamples, std::uint32_t seed)
    {
        auto x = noise (numSamples, 0.8f, seed);
        const auto tone = sine (numSamples, 220.0 + seed % 7 * 50.0, 48000.0, 0.5f);

        for (int i = 0; i < numSamples; ++i)
        {
            const auto section = (i / 1500) % 4;
            const float level = section == 0 ? 1.0f : section == 1 ? 0.05f : section == 2 ? 0.0f : 0.3f;
            x[(size_t) i] = level * (x[(size_t) i] + tone[(size_t) i]);
        }

        return x;
    }

    bool bitIdentical (const std::vector<float>& a, const std::vector<float>& b)
    {
        return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) == 0;
    }

    struct Run
    {
        std::vector<float> left, right;
    };

    /** Runs strip and reference side by side, with a settings change every few blocks. */
    void expectMatchesReference (std::uint32_t seed, bool stereo, const std::vector<int>& blockSizes, int forcedOrder)
    {
        const auto length = 12000;
        auto left = programme (length, seed);
        auto right = programme (length, seed + 99);
        auto refLeft = left, refRight = right;

        ChannelStrip strip;
        reference::ReferenceStrip ref;
        size_t pos = 0;

        for (int block = 0; pos < (size_t) length; ++block)
        {
            if (block % 5 == 0)
            {
                auto v = randomSettings (seed * 131u + (std::uint32_t) block, block % 10 == 0);

                if (forcedOrder >= 0)
                    v.moduleOrder = (float) forcedOrder;

                strip.applyIfChanged (buildKernelSettings (v, 48000.0));
                ref.apply (strip.getActiveSettings());
            }

            const auto n = std::min ((size_t) blockSizes[(size_t) block % blockSizes.size()], (size_t) length - pos);
            strip.process (left.data() + pos, stereo ? right.data() + pos : nullptr, (int) n);
            ref.process (refLeft.data() + pos, stereo ? refRight.data() + pos : nullptr, (int) n);
            pos += n;

            ASSERT_EQ (strip.getGateGainDb(), ref.gateDb) << "block " << block;
            ASSERT_EQ (strip.getCompReductionDb(), ref.compDb) << "block " << block;

            if (strip.getActiveSettings().gateOn != 0)
                ASSERT_EQ (strip.isGateOpen(), ref.gateOpen) << "block " << block;
        }

        EXPECT_TRUE (bitIdentical (left, refLeft));

        if (stereo)
            EXPECT_TRUE (bitIdentical (right, refRight));
        else
            EXPECT_TRUE (bitIdentical (right, programme (length, seed + 99)));   // the second channel is never touched
    }
}

TEST (Chain, BitIdenticalToThePerSampleReferenceInEveryOrder)
{
    for (int order = 0; order < numModuleOrders; ++order)
        for (const bool stereo : { false, true })
        {
            SCOPED_TRACE (::testing::Message() << "order " << order << (stereo ? " stereo" : " mono"));
            expectMatchesReference ((std::uint32_t) order + 1, stereo, { 512 }, order);
        }
}

TEST (Chain, BitIdenticalForEveryBlockShape)
{
    const std::vector<std::vector<int>> shapes { { 1 }, { 2, 3 }, { 64 }, { 511, 1, 4096 }, { 17, 333, 1024 } };

    for (size_t s = 0; s < shapes.size(); ++s)
        for (const bool stereo : { false, true })
        {
            SCOPED_TRACE (::testing::Message() << "shape " << s << (stereo ? " stereo" : " mono"));
            expectMatchesReference (1000u + (std::uint32_t) s, stereo, shapes[s], -1);
        }
}

TEST (Chain, SixOrdersGiveSixDifferentResults)
{
    std::vector<std::vector<float>> results;

    for (const int order : { 0, 1, 2, 3, 4, 5 })
    {
        auto v = randomSettings (5, true);
        v.moduleOrder = (float) order;
        v.gateThreshold = -20.0f;
        v.compThreshold = -30.0f;
        StripFixture f;
        f.apply (v);
        results.push_back (f.run (programme (9600, 3)));
    }

    for (size_t a = 0; a < results.size(); ++a)
        for (size_t b = a + 1; b < results.size(); ++b)
            EXPECT_FALSE (bitIdentical (results[a], results[b])) << a << " vs " << b;
}

namespace
{
    struct PoisonCase
    {
        const char* name;
        SettingValues settings;
    };

    std::vector<PoisonCase> poisonCases()
    {
        SettingValues gateOnly;
        gateOnly.gateOn = 1.0f;
        SettingValues eqOnly;
        eqOnly.filtersOn = eqOnly.highPassOn = eqOnly.lowPassOn = eqOnly.eqOn = eqOnly.mid1On = eqOnly.highOn = 1.0f;
        eqOnly.mid1Gain = 6.0f;
        SettingValues compOnly;
        compOnly.compressorOn = 1.0f;
        auto all = eqOnly;
        all.gateOn = all.compressorOn = 1.0f;
        all.moduleOrder = 0.0f;   // gate first, so it sees the same input in both instances
        return { { "gate", gateOnly }, { "eq", eqOnly }, { "compressor", compOnly }, { "all", all } };
    }
}

TEST (Chain, NonFiniteInputDoesNotPoisonTheStates)
{
    const float poisons[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity() };

    for (const auto& c : poisonCases())
        for (const auto poison : poisons)
            for (const int channel : { 0, 1 })
            {
                SCOPED_TRACE (::testing::Message() << c.name << " " << poison << " in channel " << channel);
                StripFixture poisoned, fresh;
                poisoned.apply (c.settings);
                fresh.apply (c.settings);

                auto left = programme (512, 1), right = programme (512, 2);
                (channel == 0 ? left : right)[100] = poison;
                (channel == 0 ? left : right)[101] = poison;
                poisoned.processStereo (left, right);

                // From the next block on, the output is finite and converges on a fresh
                // instance's (a one-pole in float stops short of its target by up to a
                // few parts in ten thousand, depending on where it came from).
                for (int block = 0; block < 400; ++block)
                {
                    auto l = programme (512, 10 + (std::uint32_t) block), r = programme (512, 500 + (std::uint32_t) block);
                    auto fl = l, fr = r;
                    poisoned.processStereo (l, r);
                    fresh.processStereo (fl, fr);

                    for (size_t i = 0; i < l.size(); ++i)
                        ASSERT_TRUE (std::isfinite (l[i]) && std::isfinite (r[i])) << "block " << block;

                    if (block == 399)
                        for (size_t i = 0; i < l.size(); ++i)
                        {
                            ASSERT_NEAR (l[i], fl[i], 1.0e-3f * std::abs (fl[i]) + 1.0e-4f);
                            ASSERT_NEAR (r[i], fr[i], 1.0e-3f * std::abs (fr[i]) + 1.0e-4f);
                        }
                }

                EXPECT_TRUE (std::isfinite (poisoned.strip.getGateGainDb()));
                EXPECT_TRUE (std::isfinite (poisoned.strip.getCompReductionDb()));
            }
}
