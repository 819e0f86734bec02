#pragma once

#include "dsp/ChannelStrip.h"
#include "dsp/SettingsBuilder.h"

#include <algorithm>
#include <vector>

namespace velorn::test
{

/** A ChannelStrip driven directly with plain setting values. */
struct StripFixture
{
    explicit StripFixture (double rate = 48000.0) : sampleRate (rate) { strip.reset(); }

    void apply (const SettingValues& v)
    {
        values = v;
        strip.applyIfChanged (buildKernelSettings (values, sampleRate));
    }

    void processMono (std::vector<float>& samples)
    {
        strip.process (samples.data(), nullptr, (int) samples.size());
    }

    void processStereo (std::vector<float>& left, std::vector<float>& right)
    {
        strip.process (left.data(), right.data(), (int) left.size());
    }

    /** Runs a signal through in blocks and returns the output. */
    std::vector<float> run (std::vector<float> samples, int blockSize = 512)
    {
        for (size_t start = 0; start < samples.size(); start += (size_t) blockSize)
        {
            const auto n = std::min ((size_t) blockSize, samples.size() - start);
            strip.process (samples.data() + start, nullptr, (int) n);
        }

        return samples;
    }

    double sampleRate;
    SettingValues values;
    ChannelStrip strip;
};

} // namespace velorn::test
