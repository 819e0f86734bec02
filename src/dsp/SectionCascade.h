#pragma once

#include "ChannelState.h"
#include "Float4.h"

#include <array>

namespace velorn
{

/** Runs up to eight biquad sections in series on one or two channels, bit for
    bit as running each section over the block in turn would, but with every
    section and channel in flight at once: lane (k, c) of the registers holds
    section k of channel c and works on sample t - k while section 0 takes in
    sample t. Each section's own recursion then sets the pace instead of the
    whole chain. */
class SectionCascade
{
public:
    static constexpr int maxSections = numFilterSlots;

    /** Sets which sections run, in order, with their coefficients. */
    void configure (const int* slots, int numSections,
                    const std::array<BiquadCoefficients, numFilterSlots>& coefficients) noexcept;

    /** Processes a block in place; right is nullptr for mono. The sections'
        states live in the channels' biquadState and are read and written back. */
    void process (float* left, float* right, std::array<ChannelState, 2>& channels, int numSamples) noexcept;

private:
    static constexpr int maxRegisters = 4;

    /** Coefficients spread over lanes for one channel layout. */
    struct LaneLayout
    {
        std::array<Float4, maxRegisters> b0 {}, b1 {}, b2 {}, a1 {}, a2 {};
        std::array<Int4, maxRegisters> section {};   ///< section index of each lane; large for unused lanes
    };

    template <int channels, int sections>
    void run (float* left, float* right, std::array<ChannelState, 2>& states, int numSamples) noexcept;

    template <int channels>
    void dispatch (float* left, float* right, std::array<ChannelState, 2>& states, int numSamples) noexcept;

    std::array<int, maxSections> slots {};
    int numSections = 0;
    std::array<LaneLayout, 2> layouts;   ///< for one and for two channels
};

} // namespace velorn
