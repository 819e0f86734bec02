#pragma once

namespace velorn
{

struct CompressorParameters
{
    float thresholdDb;
    float ratio;
    float attackCoef;
    float releaseCoef;
    float makeupGain;   ///< linear target of the make-up glide
};

struct CompressorState
{
    float compGain = 1.0f;             ///< current gain, linear
    float makeupGainSmoothed = 1.0f;   ///< current make-up, linear
};

/** Compresses one (right == nullptr) or two linked channels over a block,
    in place. Returns the lowest gain of the block (at most 1). The gain
    computer takes the peak of the current sample in dB with a hard knee; the
    attack and release act on the linear gain, and the make-up glides 1 % of
    the remaining way per sample. */
float processCompressor (const CompressorParameters& comp, CompressorState& state,
                         float* left, float* right, int numSamples) noexcept;

} // namespace velorn
