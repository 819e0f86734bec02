#include "KernelSettings.h"

#include <cstring>

namespace velorn
{

std::uint32_t computeSettingsChecksum (const KernelSettings& settings) noexcept
{
    constexpr std::uint32_t offsetBasis = 2166136261u;
    constexpr std::uint32_t prime = 16777619u;

    unsigned char bytes[sizeof (KernelSettings)];
    std::memcpy (bytes, &settings, sizeof (KernelSettings));

    auto hash = offsetBasis;

    for (std::size_t i = 0; i < offsetof (KernelSettings, settingsChecksum); ++i)
        hash = (hash ^ bytes[i]) * prime;

    return hash;
}

KernelSettings makeNeutralSettings() noexcept
{
    KernelSettings s {};
    s.settingsTag = kernelSettingsTag;
    s.inputGain = 1.0f;
    s.outputGain = 1.0f;
    s.makeupGain = 1.0f;

    for (auto& c : s.coefficients)
        c = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };

    s.settingsChecksum = computeSettingsChecksum (s);
    return s;
}

} // namespace velorn
