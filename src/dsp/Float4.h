#pragma once

#include <cstdint>

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

} // namespace velorn
