#include "SectionCascade.h"

namespace velorn
{
namespace
{
    constexpr std::int32_t unusedLane = 1 << 28;

    /** Inputs of every lane for the next step: each section takes what the
        section before it produced on the previous step, section 0 the new sample. */
    template <int channels>
    Float4 shiftIn (Float4 previousRegister, Float4 thisRegister) noexcept
    {
        if constexpr (channels == 2)
            return __builtin_shufflevector (previousRegister, thisRegister, 2, 3, 4, 5);
        else
            return __builtin_shufflevector (previousRegister, thisRegister, 3, 4, 5, 6);
    }
}

void SectionCascade::configure (const int* activeSlots, int count,
                                const std::array<BiquadCoefficients, numFilterSlots>& coefficients) noexcept
{
    numSections = count;

    for (int k = 0; k < count; ++k)
        slots[(size_t) k] = activeSlots[k];

    for (int channels = 1; channels <= 2; ++channels)
    {
        auto& layout = layouts[(size_t) channels - 1];

        for (int lane = 0; lane < maxRegisters * 4; ++lane)
        {
            const auto r = (size_t) (lane / 4);
            const auto i = lane % 4;
            const auto k = lane / channels;
            const auto used = k < count;
            const auto& c = coefficients[(size_t) slots[(size_t) (used ? k : 0)]];

            layout.b0[r][i] = used ? c[0] : 0.0f;
            layout.b1[r][i] = used ? c[1] : 0.0f;
            layout.b2[r][i] = used ? c[2] : 0.0f;
            layout.a1[r][i] = used ? c[3] : 0.0f;
            layout.a2[r][i] = used ? c[4] : 0.0f;
            layout.section[r][i] = used ? k : unusedLane;
        }
    }
}

void SectionCascade::process (float* left, float* right, std::array<ChannelState, 2>& channels, int numSamples) noexcept
{
    if (numSections == 0 || numSamples <= 0)
        return;

    if (right != nullptr)
        dispatch<2> (left, right, channels, numSamples);
    else
        dispatch<1> (left, right, channels, numSamples);
}

template <int channels>
void SectionCascade::dispatch (float* left, float* right, std::array<ChannelState, 2>& states, int numSamples) noexcept
{
    // One loop per section count, so the lanes that hold the last section's
    // output are known when the loop is compiled.
    switch (numSections)
    {
        case 1:  run<channels, 1> (left, right, states, numSamples); break;
        case 2:  run<channels, 2> (left, right, states, numSamples); break;
        case 3:  run<channels, 3> (left, right, states, numSamples); break;
        case 4:  run<channels, 4> (left, right, states, numSamples); break;
        case 5:  run<channels, 5> (left, right, states, numSamples); break;
        case 6:  run<channels, 6> (left, right, states, numSamples); break;
        case 7:  run<channels, 7> (left, right, states, numSamples); break;
        default: run<channels, 8> (left, right, states, numSamples); break;
    }
}

template <int channels, int sections>
void SectionCascade::run (float* left, float* right, std::array<ChannelState, 2>& states, int numSamples) noexcept
{
    constexpr int registers = (sections * channels + 3) / 4;
    constexpr int lastLane = (sections - 1) * channels;
    const auto& layout = layouts[(size_t) channels - 1];

    Float4 b0[registers], b1[registers], b2[registers], a1[registers], a2[registers], s1[registers], s2[registers];
    Float4 out[registers];
    Int4 section[registers];

    for (int r = 0; r < registers; ++r)
    {
        b0[r] = layout.b0[(size_t) r];
        b1[r] = layout.b1[(size_t) r];
        b2[r] = layout.b2[(size_t) r];
        a1[r] = layout.a1[(size_t) r];
        a2[r] = layout.a2[(size_t) r];
        section[r] = layout.section[(size_t) r];
        s1[r] = s2[r] = out[r] = Float4 {};

        for (int i = 0; i < 4; ++i)
        {
            const auto lane = r * 4 + i;
            const auto k = lane / channels;

            if (k < sections)
            {
                const auto& state = states[(size_t) (lane % channels)].biquadState[(size_t) slots[(size_t) k]];
                s1[r][i] = state[0];
                s2[r][i] = state[1];
            }
        }
    }

    float* const io[2] = { left, right };
    const auto steps = numSamples + sections - 1;

    auto step = [&] (int t, bool everyLaneActive)
    {
        // The new sample enters like the output of a section before section 0,
        // from the top lanes of a register.
        Float4 fresh {};

        if (t < numSamples)
            for (int c = 0; c < channels; ++c)
                fresh[4 - channels + c] = io[c][t];

        Float4 in[registers];
        in[0] = shiftIn<channels> (fresh, out[0]);

        for (int r = 1; r < registers; ++r)
            in[r] = shiftIn<channels> (out[r - 1], out[r]);

        Int4 active[registers];

        if (! everyLaneActive)
        {
            for (int r = 0; r < registers; ++r)
            {
                const Int4 sampleIndex = t - section[r];
                active[r] = (sampleIndex >= 0) & (sampleIndex < numSamples);
            }
        }

        for (int r = 0; r < registers; ++r)
        {
            const auto x = in[r];
            const auto y = b0[r] * x + s1[r];
            const auto newS1 = b1[r] * x - a1[r] * y + s2[r];
            const auto newS2 = b2[r] * x - a2[r] * y;
            out[r] = y;

            if (everyLaneActive)
            {
                s1[r] = newS1;
                s2[r] = newS2;
            }
            else
            {
                s1[r] = select (active[r], newS1, s1[r]);
                s2[r] = select (active[r], newS2, s2[r]);
            }
        }

        const auto finished = t - (sections - 1);

        if (finished >= 0 && finished < numSamples)
            for (int c = 0; c < channels; ++c)
                io[c][finished] = out[(lastLane + c) / 4][(lastLane + c) % 4];
    };

    const auto firstFull = sections - 1;
    const auto lastFull = numSamples - 1;
    int t = 0;

    for (; t < steps && t < firstFull; ++t)
        step (t, false);

    for (; t <= lastFull; ++t)
        step (t, true);

    for (; t < steps; ++t)
        step (t, false);

    for (int r = 0; r < registers; ++r)
    {
        for (int i = 0; i < 4; ++i)
        {
            const auto lane = r * 4 + i;
            const auto k = lane / channels;

            if (k < sections)
            {
                auto& state = states[(size_t) (lane % channels)].biquadState[(size_t) slots[(size_t) k]];
                state[0] = s1[r][i];
                state[1] = s2[r][i];
            }
        }
    }
}

} // namespace velorn
