// velorn-render: runs audio files through Velorn (or a VST3 / LV2 plug-in
// binary) exactly as a host would, and reports what it measured.

#include "AudioFiles.h"
#include "DemoSignal.h"
#include "RenderError.h"
#include "RenderHost.h"
#include "RenderOptions.h"
#include "Renderer.h"

#include <iostream>
#include <unistd.h>

using namespace velorn::render;

namespace
{
    constexpr double secondsBeforeProgressBar = 5.0;

    std::function<void (double)> makeProgressBar (const AudioData& audio)
    {
        if (! isatty (STDERR_FILENO) || audio.samples.getNumSamples() < audio.sampleRate * secondsBeforeProgressBar)
            return {};

        return [lastShown = -1] (double fraction) mutable
        {
            const auto percent = (int) (fraction * 100.0);

            if (percent == lastShown)
                return;

            lastShown = percent;
            constexpr int width = 40;
            const auto filled = percent * width / 100;
            std::cerr << "\r[" << std::string ((size_t) filled, '#') << std::string ((size_t) (width - filled), ' ')
                      << "] " << percent << " %" << (percent == 100 ? "\n" : "") << std::flush;
        };
    }

    int run (const RenderOptions& options)
    {
        RenderHost host (options.plugin);

        if (options.listParameters)
        {
            std::cout << host.describeParameters();
            return 0;
        }

        if (! options.demo && options.input == options.output)
            throw RenderError ("output file is the input file: " + options.output.getFullPathName().toStdString());

        if (! options.output.getParentDirectory().isDirectory())
            throw RenderError ("output folder does not exist: " + options.output.getParentDirectory().getFullPathName().toStdString());

        auto audio = options.demo ? makeDemoSignal() : readAudioFile (options.input);

        if (options.stateFile != juce::File())
            host.loadState (options.stateFile);

        if (options.demo)
            for (const auto& setting : demoSettings())
                host.setParameter (setting.upToFirstOccurrenceOf ("=", false, false),
                                   setting.fromFirstOccurrenceOf ("=", false, false));

        for (const auto& [id, value] : options.settings)
            host.setParameter (id, value);

        if (options.saveStateFile != juce::File())
            host.saveState (options.saveStateFile);

        std::unique_ptr<juce::TemporaryFile> metersTemp;
        std::unique_ptr<juce::FileOutputStream> meters;

        if (options.metersFile != juce::File())
        {
            if (! options.metersFile.getParentDirectory().isDirectory())
                throw RenderError ("meters folder does not exist: " + options.metersFile.getParentDirectory().getFullPathName().toStdString());

            metersTemp = std::make_unique<juce::TemporaryFile> (options.metersFile);
            meters = metersTemp->getFile().createOutputStream();

            if (meters == nullptr)
                throw RenderError ("cannot write " + options.metersFile.getFullPathName().toStdString());
        }

        const auto summary = renderAudio (host, audio, options.blockSize, meters.get(), makeProgressBar (audio));
        writeWavFile (options.output, audio, options.bitsPerSample);

        if (meters != nullptr)
        {
            meters->flush();
            meters.reset();

            if (! metersTemp->overwriteTargetFileWithTemporary())
                throw RenderError ("cannot write " + options.metersFile.getFullPathName().toStdString());
        }

        std::cout << "wrote " << options.output.getFullPathName() << "\n" << formatSummary (summary);
        return 0;
    }
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    try
    {
        return run (parseOptions (args));
    }
    catch (const UsageError& e)
    {
        std::cerr << "velorn-render: " << e.what() << "\n" << usageText;
        return 2;
    }
    catch (const RenderError& e)
    {
        std::cerr << "velorn-render: error: " << e.what() << "\n";
        return 1;
    }
}
