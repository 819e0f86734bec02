#include "PluginProcessor.h"

#include <cmath>
#include <limits>

namespace
{
    constexpr float levelFloorDb = -100.0f;
    constexpr float gainReductionFullScaleDb = 24.0f;

    /** A block peak that the editor and host can always show: a NaN sample
        counts for nothing, an infinite one as the largest float. */
    float finitePeak (float peak) noexcept
    {
        if (std::isnan (peak))
            return 0.0f;

        return juce::jmin (peak, std::numeric_limits<float>::max());
    }

    float peakToDb (float peak) noexcept
    {
        peak = finitePeak (peak);
        return peak > 0.0f ? juce::jmax (20.0f * std::log10 (peak), levelFloorDb) : levelFloorDb;
    }
}

float VelornAudioProcessor::feedSpectrum (const juce::AudioBuffer<float>& buffer, int usedChannels,
                                          const velorn::KernelSettings& settings) noexcept
{
    const auto numSamples = buffer.getNumSamples();
    const auto inputGain = settings.inputGain;
    const auto g = settings.phase != 0 ? -inputGain : inputGain;
    const auto divisor = static_cast<float> (usedChannels);
    const auto* left = buffer.getReadPointer (0);
    const auto* right = usedChannels == 2 ? buffer.getReadPointer (1) : nullptr;
    auto pos = spectrumWritePos.load (std::memory_order_relaxed) % (std::uint64_t) spectrumFifoSize;
    auto peak = 0.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        auto sum = left[i] * g;
        peak = juce::jmax (peak, std::abs (left[i] * inputGain));

        if (right != nullptr)
        {
            sum += right[i] * g;
            peak = juce::jmax (peak, std::abs (right[i] * inputGain));
        }

        spectrumFifo[(size_t) pos].store (sum / divisor, std::memory_order_relaxed);
        pos = (pos + 1) % (std::uint64_t) spectrumFifoSize;
    }

    spectrumWritePos.store (pos, std::memory_order_relaxed);
    return finitePeak (peak);
}

float VelornAudioProcessor::scopeInputPeakFromSignalPath (int numSamples, const velorn::KernelSettings& settings) const noexcept
{
    // The largest |x| of the block before input gain, which the signal path
    // has just measured, times the gain: no second scan of the input.
    return numSamples > 0 ? finitePeak (strip.getBlockInputPeak() * settings.inputGain) : 0.0f;
}

void VelornAudioProcessor::publishBlock (int numSamples, int usedChannels, float scopeInputPeak) noexcept
{
    auto outputDb = [&] (int channel) { return numSamples > 0 ? peakToDb (strip.getOutputChannelPeak (channel)) : levelFloorDb; };
    const auto inputDb = peakToDb (strip.getBlockInputPeak());
    const auto outputDb0 = outputDb (0);
    const auto outputDb1 = usedChannels == 2 ? outputDb (1) : outputDb0;

    inputLevelDb[0].store (inputDb);
    outputLevelDb[0].store (outputDb0);
    inputLevelDb[1].store (inputDb);
    outputLevelDb[1].store (outputDb1);

    const auto compDb = strip.getCompReductionDb();
    const auto gateDb = strip.getGateGainDb();
    compReductionDb.store (compDb);
    gateGainDb.store (gateDb);
    gateOpen.store (strip.isGateOpen());

    const auto p = (size_t) (gateScopeWritePos.load (std::memory_order_relaxed) % (std::uint64_t) gateScopeSize);
    gateScopeInput[p].store (scopeInputPeak, std::memory_order_relaxed);
    gateScopeOutput[p].store (finitePeak (strip.getBlockOutputPeak()), std::memory_order_relaxed);
    gateScopeReductionDb[p].store (-gateDb, std::memory_order_relaxed);
    gateScopeWritePos.store ((p + 1) % (size_t) gateScopeSize, std::memory_order_relaxed);

    gainReductionMeter->setValue (juce::jlimit (0.0f, 1.0f, compDb / -gainReductionFullScaleDb));
    outputMeter->setValue (outputDb0 <= levelFloorDb ? 0.0f : juce::jmin (std::pow (10.0f, outputDb0 / 20.0f), 1.0f));
    gateOpenMeter->setValue (0.0f);
}

void VelornAudioProcessor::setSpectrumDisplayActive (bool active)
{
    spectrumDisplayActive = active;

    if (auto* parameter = parameters.getParameter ("dspAnalyserActive"))
    {
        const auto target = active ? 1.0f : 0.0f;

        if (parameter->getValue() != target)
        {
            parameter->beginChangeGesture();
            parameter->setValueNotifyingHost (target);
            parameter->endChangeGesture();
        }
    }
}
