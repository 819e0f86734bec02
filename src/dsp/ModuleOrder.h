#pragma once

#include <array>

namespace velorn
{

/** Values of the four module-order slots. */
enum ModuleId : int
{
    empty = 0,
    gate = 1,
    eq = 2,
    compressor = 3
};

constexpr int numModuleOrders = 24;

using ModuleSlots = std::array<int, 4>;

/** Decodes "moduleOrder" (0..23, limited) into the order of the four slot
    values, in the factorial number system m = 6a + 2b + c. */
ModuleSlots decodeModuleOrder (int moduleOrder) noexcept;

/** The inverse of decodeModuleOrder for a permutation of 0, 1, 2, 3. */
int encodeModuleOrder (const ModuleSlots& slots) noexcept;

} // namespace velorn
