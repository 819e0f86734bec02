#pragma once

#include <cstdint>
#include <cstring>

namespace velorn
{

// Four floats in one register through the GCC and Clang vector extension:
// SSE on x86, NEON on ARM, with no intrinsics. Arithmetic on them is plain
// IEEE single precision lane by lane, so results match scalar code bit for bit.
using Float4 = float __attribute__ ((vector_size (16)));
using Int4 = std::int32_t __attribute__ ((vector_size (16)));

/** Lanes of mask (all bits set or clear) choose between ifSet and ifClear. */
inline Float4 select (Int4 mask, Float4 ifSet, Float4 ifClear) noexcept
{
    return (Float4) (((Int4) ifSet & mask) | ((Int4) ifClear & ~mask));
}

inline Float4 load4 (const float* p) noexcept
{
    Float4 v;
    std::memcpy (&v, p, sizeof v);
    return v;
}

inline void store4 (float* p, Float4 v) noexcept { std::memcpy (p, &v, sizeof v); }

/** A float with value v in every lane. */
inline Float4 splat4 (float v) noexcept { return v - Float4 {}; }

/** std::abs lane by lane: the sign bit cleared. */
inline Float4 abs4 (Float4 v) noexcept { return (Float4) ((Int4) v & 0x7fffffff); }

/** std::max (peak, a) lane by lane: a NaN in a never replaces the peak. */
inline Float4 max4 (Float4 peak, Float4 a) noexcept { return select (peak < a, a, peak); }

} // namespace velorn
