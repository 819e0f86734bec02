#pragma once

#include "KernelSettings.h"

namespace velorn
{

/** The running state of one processed channel. */
struct ChannelState
{
    /** s1, s2 of each section, for this channel. */
    std::array<std::array<float, 2>, numFilterSlots> biquadState {};
    /** The gate's detector level, linear. */
    float gateEnvelope = 0.0f;
    /** The gate's current gain, linear. */
    float gateGain = 1.0f;
};

} // namespace velorn
