#include "ReferenceStrip.h"
#include "dsp/ChannelStrip.h"
#include "dsp/ModuleOrder.h"
#include "dsp/SettingsBuilder.h"

#include <gtest/gtest.h>

using namespace velorn;

TEST (ModuleOrder, DecodesAll24CodesAndEncodesThemBack)
{
    for (int m = 0; m < numModuleOrders; ++m)
    {
        const auto& expected = reference::moduleOrderTable[(size_t) m];
        EXPECT_EQ (decodeModuleOrder (m), (ModuleSlots { expected[0], expected[1], expected[2], expected[3] })) << m;
        EXPECT_EQ (encodeModuleOrder (decodeModuleOrder (m)), m);
    }

    EXPECT_EQ (decodeModuleOrder (-5), decodeModuleOrder (0));
    EXPECT_EQ (decodeModuleOrder (99), decodeModuleOrder (23));
}

TEST (ModuleOrder, EncodesTheSixModuleOrdersWithEmptyFirst)
{
    struct Case { ModuleSlots slots; int code; };
    const Case cases[] = {
        { { empty, gate, eq, compressor }, 0 }, { { empty, gate, compressor, eq }, 1 },
        { { empty, eq, gate, compressor }, 2 }, { { empty, eq, compressor, gate }, 3 },
        { { empty, compressor, gate, eq }, 4 }, { { empty, compressor, eq, gate }, 5 },
        { { compressor, eq, gate, empty }, 23 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (encodeModuleOrder (c.slots), c.code);
}

namespace
{
    std::vector<int> chainFor (const SettingValues& v)
    {
        ChannelStrip strip;
        strip.applyIfChanged (buildKernelSettings (v, 48000.0));
        std::vector<int> chain;

        for (int i = 0; i < strip.getModuleChainLength(); ++i)
            chain.push_back (strip.getModuleChainEntry (i));

        return chain;
    }
}

TEST (ModuleOrder, ChainHoldsOnlyModulesThatWouldDoSomething)
{
    SettingValues all;
    all.gateOn = all.compressorOn = all.eqOn = all.lowOn = 1.0f;

    struct Case { int order; std::vector<int> chain; };
    const Case orders[] = {
        { 0, { gate, eq, compressor } }, { 6, { gate, eq, compressor } }, { 8, { gate, eq, compressor } },
        { 9, { gate, eq, compressor } }, { 23, { compressor, eq, gate } }, { 13, { eq, compressor, gate } },
    };

    for (const auto& c : orders)
    {
        all.moduleOrder = (float) c.order;
        EXPECT_EQ (chainFor (all), c.chain) << c.order;
    }

    SettingValues eqWithoutBands;
    eqWithoutBands.eqOn = 1.0f;
    EXPECT_TRUE (chainFor (eqWithoutBands).empty());

    SettingValues filtersWithoutSwitches;
    filtersWithoutSwitches.filtersOn = 1.0f;
    EXPECT_TRUE (chainFor (filtersWithoutSwitches).empty());

    SettingValues bandWithoutEq;
    bandWithoutEq.mid1On = 1.0f;
    EXPECT_TRUE (chainFor (bandWithoutEq).empty());

    SettingValues lowCutOnly;
    lowCutOnly.filtersOn = lowCutOnly.highPassOn = 1.0f;
    EXPECT_EQ (chainFor (lowCutOnly), std::vector<int> { eq });
}
