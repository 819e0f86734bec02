#include "ModuleOrder.h"

#include <algorithm>

namespace velorn
{

ModuleSlots decodeModuleOrder (int moduleOrder) noexcept
{
    const auto m = std::clamp (moduleOrder, 0, numModuleOrders - 1);
    std::array<int, 4> remaining { 0, 1, 2, 3 };
    auto remainingCount = 4;

    auto take = [&] (int index)
    {
        const auto value = remaining[(size_t) index];
        std::copy (remaining.begin() + index + 1, remaining.begin() + remainingCount, remaining.begin() + index);
        --remainingCount;
        return value;
    };

    ModuleSlots slots {};
    slots[0] = take (m / 6);
    slots[1] = take ((m % 6) / 2);
    const auto c = m % 2;
    slots[2] = remaining[(size_t) c];
    slots[3] = remaining[(size_t) (1 - c)];
    return slots;
}

int encodeModuleOrder (const ModuleSlots& slots) noexcept
{
    const auto a = slots[0];
    auto b = 0;

    for (auto v = 0; v < slots[1]; ++v)
        if (v != a)
            ++b;

    const auto c = slots[2] > slots[3] ? 1 : 0;
    return 6 * a + 2 * b + c;
}

} // namespace velorn
