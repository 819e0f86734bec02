#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace velorn::render
{

struct AudioData
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 48000.0;
};

/** Reads a WAV or AIFF file (integer or float samples). Throws RenderError. */
AudioData readAudioFile (const juce::File& file);

/** Writes a WAV file, 32-bit float or 24-bit integer, through a temporary file
    that replaces the target only once it is complete. Throws RenderError. */
void writeWavFile (const juce::File& file, const AudioData& audio, int bitsPerSample);

} // namespace velorn::render
