#pragma once

#include "AudioFiles.h"
#include "RenderHost.h"

#include <functional>

namespace velorn::render
{

struct RenderSummary
{
    std::array<float, 2> inputPeakDb { -100.0f, -100.0f };
    std::array<float, 2> outputPeakDb { -100.0f, -100.0f };
    float maximumReductionDb = 0.0f;   ///< the compressor's deepest block reduction, as a positive number
    double gateOpenFraction = -1.0;    ///< share of blocks with the gate open; negative when unknown
    juce::int64 samples = 0;
    int processedChannels = 0;
};

/** Runs the audio through the host's processor in blocks, in place, as a host
    would: prepared at the file's rate, the first one or two channels
    processed, any others passed through. meters, when given, receives one CSV
    row per block. progress gets the fraction done after each block. */
RenderSummary renderAudio (RenderHost& host, AudioData& audio, int blockSize, juce::OutputStream* meters,
                           const std::function<void (double)>& progress);

juce::String formatSummary (const RenderSummary& summary);

} // namespace velorn::render
