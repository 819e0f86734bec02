// Processor cost per stereo frame at 48 kHz in blocks of 512, white noise at
// -12 dBFS. Run with: bench/run-benchmarks.sh

#include "core/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    void setParameter (VelornAudioProcessor& p, const char* id, float value)
    {
        auto* parameter = p.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    enum class Setting { allOff, eq, gate, compressor, allOn };

    void configure (VelornAudioProcessor& p, Setting setting)
    {
        const bool eq = setting == Setting::eq || setting == Setting::allOn;

        if (eq)
            for (const auto* id : { "filtersOn", "highPassOn", "lowPassOn", "eqOn", "lowOn", "lowMidOn",
                                    "mid1On", "mid2On", "highMidOn", "highOn" })
                setParameter (p, id, 1.0f);

        for (const auto* id : { "lowGain", "lowMidGain", "mid1Gain", "mid2Gain", "highMidGain", "highGain" })
            setParameter (p, id, 3.0f);

        if (setting == Setting::gate || setting == Setting::allOn)
            setParameter (p, "gateOn", 1.0f);

        if (setting == Setting::compressor || setting == Setting::allOn)
            setParameter (p, "compressorOn", 1.0f);
    }

    juce::AudioBuffer<float> whiteNoise (int channels, int samples)
    {
        juce::AudioBuffer<float> buffer (channels, samples);
        std::mt19937 rng (1);
        std::uniform_real_distribution<float> dist (-0.25f, 0.25f);   // -12 dBFS peak

        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < samples; ++i)
                buffer.setSample (c, i, dist (rng));

        return buffer;
    }

    void processBlocks (benchmark::State& state, Setting setting, int channels, bool changeEveryBlock)
    {
        VelornAudioProcessor processor;
        processor.prepareToPlay (sampleRate, blockSize);
        configure (processor, setting);

        const auto source = whiteNoise (channels, blockSize * 64);
        juce::AudioBuffer<float> block (channels, blockSize);
        juce::MidiBuffer midi;
        int offset = 0;
        float threshold = -20.0f;

        for (auto _ : state)
        {
            if (changeEveryBlock)
            {
                threshold = threshold < -19.5f ? -19.0f : -20.0f;
                setParameter (processor, "compThreshold", threshold);
            }

            for (int c = 0; c < channels; ++c)
                block.copyFrom (c, 0, source, c, offset, blockSize);

            processor.processBlock (block, midi);
            benchmark::DoNotOptimize (block.getReadPointer (0));
            offset = (offset + blockSize) % source.getNumSamples();
        }

        const auto frames = (double) state.iterations() * blockSize;
        // A rate of (frames / 1e9) per second, inverted, is nanoseconds per frame.
        state.counters["ns_per_frame"] = benchmark::Counter (frames / 1.0e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        state.counters["realtime_factor"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
    }
}

/** A loud block followed by fifteen silent ones, over and over: the filter
    and envelope tails decay towards zero in the silence, which must cost no
    more than loud audio (flush-to-zero keeps denormals out). Compare with
    LoudOnly, which runs the same number of blocks of noise. */
void silentTails (benchmark::State& state, bool silent)
{
    VelornAudioProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);
    configure (processor, Setting::allOn);
    setParameter (processor, "gateRange", 0.0f);   // keep the gate from hiding the tails

    const auto loud = whiteNoise (2, blockSize);
    juce::AudioBuffer<float> block (2, blockSize);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        for (int b = 0; b < 16; ++b)
        {
            if (b == 0 || ! silent)
                block.makeCopyOf (loud, true);
            else
                for (int c = 0; c < 2; ++c)
                    juce::FloatVectorOperations::clear (block.getWritePointer (c), blockSize);

            processor.processBlock (block, midi);
        }

        benchmark::DoNotOptimize (block.getReadPointer (0));
    }

    const auto frames = (double) state.iterations() * blockSize * 16;
    state.counters["ns_per_frame"] = benchmark::Counter (frames / 1.0e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE (silentTails, LoudThenSilence, true);
BENCHMARK_CAPTURE (silentTails, LoudOnly, false);
BENCHMARK_CAPTURE (processBlocks, StereoAllOff, Setting::allOff, 2, false);
BENCHMARK_CAPTURE (processBlocks, StereoEqAllSections, Setting::eq, 2, false);
BENCHMARK_CAPTURE (processBlocks, StereoGate, Setting::gate, 2, false);
BENCHMARK_CAPTURE (processBlocks, StereoCompressor, Setting::compressor, 2, false);
BENCHMARK_CAPTURE (processBlocks, StereoAllOn, Setting::allOn, 2, false);
BENCHMARK_CAPTURE (processBlocks, MonoAllOn, Setting::allOn, 1, false);
BENCHMARK_CAPTURE (processBlocks, StereoAllOnChangeEveryBlock, Setting::allOn, 2, true);

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
