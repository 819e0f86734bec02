#include "Renderer.h"

#include "RenderError.h"

#include <cmath>

namespace velorn::render
{
namespace
{
    float peakDb (const juce::AudioBuffer<float>& buffer, int channel)
    {
        const auto peak = buffer.getMagnitude (channel, 0, buffer.getNumSamples());
        return peak > 0.0f ? juce::jmax (20.0f * std::log10 (peak), -100.0f) : -100.0f;
    }

    void writeMetersHeader (juce::OutputStream& out)
    {
        out << "block,start_sample,input_db_l,input_db_r,output_db_l,output_db_r,comp_reduction_db,"
               "gate_gain_db,gate_open,scope_input,scope_output,scope_reduction_db\n";
    }

    void writeMetersRow (juce::OutputStream& out, int block, juce::int64 start, VelornAudioProcessor& p)
    {
        const auto newest = (size_t) ((p.gateScopeWritePos.load() + VelornAudioProcessor::gateScopeSize - 1)
                                      % VelornAudioProcessor::gateScopeSize);
        out << block << "," << start << ","
            << p.inputLevelDb[0].load() << "," << p.inputLevelDb[1].load() << ","
            << p.outputLevelDb[0].load() << "," << p.outputLevelDb[1].load() << ","
            << p.compReductionDb.load() << "," << p.gateGainDb.load() << ","
            << (p.gateOpen.load() ? 1 : 0) << ","
            << p.gateScopeInput[newest].load() << "," << p.gateScopeOutput[newest].load() << ","
            << p.gateScopeReductionDb[newest].load() << "\n";
    }
}

RenderSummary renderAudio (RenderHost& host, AudioData& audio, int blockSize, juce::OutputStream* meters,
                           const std::function<void (double)>& progress)
{
    auto& processor = host.getProcessor();
    auto& samples = audio.samples;
    const auto processed = juce::jmin (samples.getNumChannels(), 2);

    auto layoutOf = [] (int channels)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::canonicalChannelSet (channels));
        layout.outputBuses.add (juce::AudioChannelSet::canonicalChannelSet (channels));
        return layout;
    };

    // A plug-in that only runs in stereo (as JUCE-built LV2s do) gets a mono
    // file on both of its channels, as a host feeds a mono track into it.
    auto pluginChannels = processed;

    if (! processor.setBusesLayout (layoutOf (processed)))
    {
        if (processed != 1 || ! processor.setBusesLayout (layoutOf (2)))
            throw RenderError ("the plug-in does not accept " + juce::String (processed).toStdString() + " channel(s)");

        pluginChannels = 2;
    }

    processor.setRateAndBufferSizeDetails (audio.sampleRate, blockSize);
    processor.prepareToPlay (audio.sampleRate, blockSize);

    RenderSummary summary;
    summary.samples = samples.getNumSamples();
    summary.processedChannels = processed;

    for (int c = 0; c < juce::jmin (processed, 2); ++c)
        summary.inputPeakDb[(size_t) c] = peakDb (samples, c);

    if (processed == 1)
        summary.inputPeakDb[1] = summary.inputPeakDb[0];

    auto* builtIn = host.getBuiltIn();
    juce::AudioProcessorParameter* reductionMeter = nullptr;

    for (auto* parameter : processor.getParameters())
        if (parameter->getName (100) == "Gain Reduction Meter")
            reductionMeter = parameter;

    if (meters != nullptr)
        writeMetersHeader (*meters);

    juce::AudioBuffer<float> block (pluginChannels, blockSize);
    juce::MidiBuffer midi;
    int openBlocks = 0, blocks = 0;

    for (juce::int64 start = 0; start < summary.samples; start += blockSize, ++blocks)
    {
        const auto n = (int) juce::jmin ((juce::int64) blockSize, summary.samples - start);
        block.setSize (pluginChannels, n, false, false, true);

        for (int c = 0; c < pluginChannels; ++c)
            block.copyFrom (c, 0, samples, juce::jmin (c, processed - 1), (int) start, n);

        processor.processBlock (block, midi);

        for (int c = 0; c < processed; ++c)
            samples.copyFrom (c, (int) start, block, c, 0, n);

        if (builtIn != nullptr)
        {
            summary.maximumReductionDb = juce::jmax (summary.maximumReductionDb, -builtIn->compReductionDb.load());
            openBlocks += builtIn->gateOpen.load() ? 1 : 0;

            if (meters != nullptr)
                writeMetersRow (*meters, blocks, start, *builtIn);
        }
        else if (reductionMeter != nullptr)
        {
            summary.maximumReductionDb = juce::jmax (summary.maximumReductionDb, reductionMeter->getValue() * 24.0f);
        }

        if (progress)
            progress ((double) (start + n) / (double) summary.samples);
    }

    processor.releaseResources();

    if (builtIn != nullptr && blocks > 0)
        summary.gateOpenFraction = (double) openBlocks / blocks;

    for (int c = 0; c < processed; ++c)
        summary.outputPeakDb[(size_t) c] = peakDb (samples, c);

    if (processed == 1)
        summary.outputPeakDb[1] = summary.outputPeakDb[0];

    return summary;
}

juce::String formatSummary (const RenderSummary& s)
{
    auto db = [] (float v) { return juce::String (v, 2) + " dBFS"; };
    juce::String text;

    for (int c = 0; c < s.processedChannels; ++c)
        text << "channel " << (c + 1) << ": input peak " << db (s.inputPeakDb[(size_t) c])
             << ", output peak " << db (s.outputPeakDb[(size_t) c]) << "\n";

    text << "maximum compressor reduction: " << juce::String (s.maximumReductionDb, 2) << " dB\n";
    text << "gate open: " << (s.gateOpenFraction < 0.0 ? juce::String ("n/a")
                                                       : juce::String (s.gateOpenFraction * 100.0, 1) + " % of blocks") << "\n";
    text << "samples: " << s.samples << "\n";
    return text;
}

} // namespace velorn::render
