#include "dsp/FastMath.h"

#include <gtest/gtest.h>

#include <cmath>

using velorn::fastExp2;
using velorn::fastGainToDb;

TEST (FastGainToDb, StaysWithinSevenTenThousandthsOfADecibelFromOneNanoUp)
{
    double worst = 0.0;

    for (double v = 1.0e-9; v < 1.0e6; v *= 1.0007)
    {
        const auto f = static_cast<float> (v);
        worst = std::max (worst, std::abs ((double) fastGainToDb (f) - 20.0 * std::log10 ((double) f)));
    }

    EXPECT_LT (worst, 0.0007);
}

TEST (FastGainToDb, IsContinuousAcrossPowersOfTwo)
{
    for (int e = -29; e <= 20; ++e)
    {
        const auto top = std::ldexp (1.0f, e);
        const auto below = std::nextafter (top, 0.0f);
        EXPECT_NEAR (fastGainToDb (top), fastGainToDb (below), 1.0e-4) << "2^" << e;
    }
}

TEST (FastGainToDb, UnityGainReadsZero)
{
    EXPECT_NEAR (fastGainToDb (0.99999994f), 0.0f, 1.0e-5f);
    EXPECT_FLOAT_EQ (fastGainToDb (1.0f), 0.0f);
    EXPECT_NEAR (fastGainToDb (0.5f), -6.0206f, 1.0e-4f);
}

TEST (FastExp2, ApproximatesPowersOfTwoOverItsRange)
{
    // The polynomial is a short series: within 0.01 dB, worst at the top of each octave.
    for (float t = -24.0f; t <= 8.0f; t += 0.01f)
        EXPECT_NEAR (fastExp2 (t) / std::exp2 (t), 1.0f, 1.0e-3f) << t;

    // The gate's default threshold of -45 dB.
    EXPECT_FLOAT_EQ (fastExp2 (-45.0f * 0.1660964f), 0.0056231916f);
    EXPECT_EQ (fastExp2 (0.0f), 1.0f);
}
