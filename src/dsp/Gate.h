#pragma once

#include "ChannelState.h"

namespace velorn
{

/** The gate's per-block view of the applied settings. */
struct GateParameters
{
    float thresholdLinear;
    float range;
    float attackCoef;
    float releaseCoef;
    float detectorCoef;
};

struct GateBlockResult
{
    float minimumGain;   ///< lowest gain of the block over both channels, never above 1
    bool openAtEnd;      ///< whether either channel's last target was the open gain
};

/** Gates one (right == nullptr) or two channels over a block, each on its
    own. The detector rises instantly and falls with its own fixed time
    constant; the gain moves towards 1 (detector at or above the threshold)
    or towards the range, with the attack time constant when rising and the
    release time constant when falling. */
GateBlockResult processGate (const GateParameters& gate, std::array<ChannelState, 2>& channels,
                             float* left, float* right, int numSamples) noexcept;

/** The linear threshold the detector is compared with, from the threshold in dB. */
float gateThresholdToLinear (float thresholdDb) noexcept;

} // namespace velorn
