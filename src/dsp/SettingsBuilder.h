#pragma once

#include "KernelSettings.h"
#include "SettingValues.h"

namespace velorn
{

/** Builds the settings record from plain parameter values: switches, linear
    gains, gate and compressor coefficients, the eight sections' coefficients
    (every frequency limited to 0.45 x fs first) and the checksum. */
KernelSettings buildKernelSettings (const SettingValues& values, double sampleRate) noexcept;

/** The compressor's automatic make-up in dB for a threshold and ratio. */
float compressorAutoGainDb (float thresholdDb, float ratio) noexcept;

} // namespace velorn
