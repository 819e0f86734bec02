#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace velorn
{

/** The eight second-order sections of the EQ module, in their fixed order. */
enum FilterSlot : int
{
    lowCut = 0,
    highCut,
    lowShelf,
    lowMid,
    mid1,
    mid2,
    highMid,
    highShelf,
    numFilterSlots
};

/** b0, b1, b2, a1, a2 of one section, normalised by a0. */
using BiquadCoefficients = std::array<float, 5>;

constexpr std::uint32_t fourCharCode (char a, char b, char c, char d) noexcept
{
    return (static_cast<std::uint32_t> (static_cast<unsigned char> (a)) << 24)
         | (static_cast<std::uint32_t> (static_cast<unsigned char> (b)) << 16)
         | (static_cast<std::uint32_t> (static_cast<unsigned char> (c)) << 8)
         |  static_cast<std::uint32_t> (static_cast<unsigned char> (d));
}

/** Marks a record built from the parameters; anything else is never applied. */
constexpr std::uint32_t kernelSettingsTag = fourCharCode ('Q', 'X', 'R', 'M');

/** The plain record of every processing setting. It is rebuilt from the
    parameters after a change, copied whole, and applied only when its checksum
    verifies. Every field is 32 bits wide so the record has no padding bytes. */
struct KernelSettings
{
    std::uint32_t settingsTag;
    std::int32_t bypass;
    std::int32_t phase;
    std::int32_t moduleOrder;
    std::int32_t filtersOn;
    std::int32_t highPassOn;
    std::int32_t lowPassOn;
    std::int32_t gateOn;
    std::int32_t eqOn;
    std::int32_t lowOn;
    std::int32_t lowMidOn;
    std::int32_t mid1On;
    std::int32_t mid2On;
    std::int32_t highMidOn;
    std::int32_t highOn;
    std::int32_t compressorOn;
    float inputGain;
    float outputGain;
    float gateThresholdDb;
    float gateRange;
    float gateAttackCoef;
    float gateReleaseCoef;
    float gateDetectorCoef;
    float compThresholdDb;
    float compRatio;
    float compAttackCoef;
    float compReleaseCoef;
    float makeupGain;
    std::array<BiquadCoefficients, numFilterSlots> coefficients;
    std::uint32_t settingsChecksum;
};

static_assert (std::is_trivially_copyable_v<KernelSettings>);
static_assert (std::is_standard_layout_v<KernelSettings>);
static_assert (sizeof (KernelSettings) == (28 + 8 * 5 + 1) * 4, "the record must have no padding");

/** 32-bit FNV-1a over the bytes of the record that precede settingsChecksum. */
std::uint32_t computeSettingsChecksum (const KernelSettings& settings) noexcept;

/** The record that prepareToPlay starts from: everything off, unity gains,
    identity sections, valid tag and checksum. */
KernelSettings makeNeutralSettings() noexcept;

} // namespace velorn
