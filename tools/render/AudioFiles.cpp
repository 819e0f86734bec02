#include "AudioFiles.h"

#include "RenderError.h"

namespace velorn::render
{

AudioData readAudioFile (const juce::File& file)
{
    if (! file.existsAsFile())
        throw RenderError ("input file not found: " + file.getFullPathName().toStdString());

    juce::AudioFormatManager formats;
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);

    auto stream = file.createInputStream();

    if (stream == nullptr)
        throw RenderError ("cannot read input file: " + file.getFullPathName().toStdString());

    std::unique_ptr<juce::AudioFormatReader> reader;

    for (auto* format : formats)
    {
        stream->setPosition (0);

        if (auto* r = format->createReaderFor (stream.get(), false))
        {
            stream.release();
            reader.reset (r);
            break;
        }
    }

    if (reader == nullptr)
        throw RenderError ("not a WAV or AIFF file it can read: " + file.getFullPathName().toStdString());

    constexpr juce::int64 maximumSamples = 1 << 30;

    if (reader->numChannels < 1 || reader->lengthInSamples > maximumSamples || reader->sampleRate < 1000.0
        || reader->sampleRate > 1.0e6)
        throw RenderError ("unsupported channel count, length or sample rate in " + file.getFullPathName().toStdString());

    AudioData audio;
    audio.sampleRate = reader->sampleRate;
    audio.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);

    if (! reader->read (&audio.samples, 0, (int) reader->lengthInSamples, 0, true, true))
        throw RenderError ("cannot read the samples of " + file.getFullPathName().toStdString());

    return audio;
}

void writeWavFile (const juce::File& file, const AudioData& audio, int bitsPerSample)
{
    if (! file.getParentDirectory().isDirectory())
        throw RenderError ("output folder does not exist: " + file.getParentDirectory().getFullPathName().toStdString());

    juce::TemporaryFile temp (file);

    {
        std::unique_ptr<juce::OutputStream> stream = temp.getFile().createOutputStream();

        if (stream == nullptr)
            throw RenderError ("cannot write next to " + file.getFullPathName().toStdString());

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), audio.sampleRate, (unsigned int) audio.samples.getNumChannels(),
                                 bitsPerSample, {}, 0));

        if (writer == nullptr)
            throw RenderError ("cannot write a WAV file with these channels and rate");

        stream.release();   // the writer owns it now

        if (! writer->writeFromAudioSampleBuffer (audio.samples, 0, audio.samples.getNumSamples()))
            throw RenderError ("writing " + file.getFullPathName().toStdString() + " failed");
    }

    if (! temp.overwriteTargetFileWithTemporary())
        throw RenderError ("cannot replace " + file.getFullPathName().toStdString());
}

} // namespace velorn::render
