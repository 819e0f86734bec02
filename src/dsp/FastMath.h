#pragma once

#include "Float4.h"

#include <cstdint>
#include <cstring>

namespace velorn
{

namespace detail
{
    inline std::uint32_t floatBits (float v) noexcept
    {
        std::uint32_t bits;
        std::memcpy (&bits, &v, sizeof bits);
        return bits;
    }

    inline float bitsToFloat (std::uint32_t bits) noexcept
    {
        float v;
        std::memcpy (&v, &bits, sizeof v);
        return v;
    }
}

/** 2^t for t already limited to [-24, 8]: a degree-4 polynomial for the
    fractional part, scaled by a power of two built in the exponent field. */
inline float fastExp2 (float t) noexcept
{
    auto i = static_cast<int> (t);   // truncation, then down to the floor for negative t

    if (static_cast<float> (i) > t)
        --i;

    const auto f = t - static_cast<float> (i);
    const auto p = 1.0f + f * (0.6931472f + f * (0.2402265f + f * (0.05550411f + f * 0.00961813f)));
    const auto scale = detail::bitsToFloat (static_cast<std::uint32_t> (i + 127) << 23);
    return p * scale;
}

/** 20·log10 (v) for v >= 1e-9, from the float's exponent and a degree-4
    polynomial for log2 of its mantissa. The polynomial is exact at both ends
    of the octave (p(0) = 0, p(1) = 1), so the result is continuous across
    powers of two and a gain one float step below 1 reads 0 dB. */
inline float fastGainToDb (float v) noexcept
{
    constexpr float c1 = 1.4387257f;
    constexpr float c2 = -0.6777838f;
    constexpr float c3 = 0.3211887f;
    constexpr float c4 = -0.0821306f;
    constexpr float dbPerOctave = 6.0206f;

    const auto bits = detail::floatBits (v);
    const auto e = static_cast<int> ((bits >> 23) & 0xffu) - 127;
    const auto mantissa = detail::bitsToFloat ((bits & 0x007fffffu) | 0x3f800000u);
    const auto u = mantissa - 1.0f;
    const auto p = u * (c1 + u * (c2 + u * (c3 + u * c4)));
    return (static_cast<float> (e) + p) * dbPerOctave;
}

/** fastExp2 on four values at once, lane for lane the same arithmetic. */
inline Float4 fastExp2 (Float4 t) noexcept
{
    auto i = __builtin_convertvector (t, Int4);
    i += (Int4) (__builtin_convertvector (i, Float4) > t);   // a true lane is -1: down to the floor
    const auto f = t - __builtin_convertvector (i, Float4);
    const auto p = 1.0f + f * (0.6931472f + f * (0.2402265f + f * (0.05550411f + f * 0.00961813f)));
    const auto scale = (Float4) ((i + 127) << 23);
    return p * scale;
}

/** fastGainToDb on four values at once, lane for lane the same arithmetic. */
inline Float4 fastGainToDb (Float4 v) noexcept
{
    const auto bits = (Int4) v;
    const auto e = ((bits >> 23) & 0xff) - 127;
    const auto mantissa = (Float4) ((bits & 0x007fffff) | 0x3f800000);
    const auto u = mantissa - 1.0f;
    const auto p = u * (1.4387257f + u * (-0.6777838f + u * (0.3211887f + u * -0.0821306f)));
    return (__builtin_convertvector (e, Float4) + p) * 6.0206f;
}

/** juce::Decibels::decibelsToGain for floats: 10^(dB/20) above -100 dB, else 0. */
float decibelsToGain (float decibels) noexcept;

} // namespace velorn
