#pragma once

#include "KernelSettings.h"

namespace velorn
{

/** Coefficient makers for the EQ's sections. They compute, in float and
    without heap objects, the same numbers as JUCE's
    juce::dsp::IIR::Coefficients<float> makers, normalised by a0 the same way,
    and return b0, b1, b2, a1, a2. */
namespace FilterDesign
{
    /** Second-order Butterworth high-pass (Q = 1/sqrt 2, tan pre-warped). */
    BiquadCoefficients makeHighPass (double sampleRate, float frequency) noexcept;

    /** Second-order Butterworth low-pass (Q = 1/sqrt 2, tan pre-warped). */
    BiquadCoefficients makeLowPass (double sampleRate, float frequency) noexcept;

    BiquadCoefficients makeLowShelf (double sampleRate, float frequency, float q, float gainFactor) noexcept;
    BiquadCoefficients makeHighShelf (double sampleRate, float frequency, float q, float gainFactor) noexcept;
    BiquadCoefficients makePeakFilter (double sampleRate, float frequency, float q, float gainFactor) noexcept;
}

} // namespace velorn
