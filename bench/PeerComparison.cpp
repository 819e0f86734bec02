// Hosts Velorn (in process, and its built VST3 and LV2) beside Debian's LSP
// plug-ins in one process and times them on the same signal: stereo white
// noise at -12 dBFS, 48 kHz, blocks of 512. Every figure is the median of
// several runs. Run it with bench/run-peer-comparison.sh.

#include "RenderError.h"
#include "RenderHost.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <random>

using velorn::render::RenderHost;

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int blocksPerRun = 4000;   // about 43 s of audio
    constexpr int runs = 7;

    const char* const lspEqualiser = "http://lsp-plug.in/plugins/lv2/para_equalizer_x16_stereo";
    const char* const lspCompressor = "http://lsp-plug.in/plugins/lv2/compressor_stereo";
    const char* const lspGate = "http://lsp-plug.in/plugins/lv2/gate_stereo";

    juce::AudioBuffer<float> whiteNoise (int channels)
    {
        juce::AudioBuffer<float> noise (channels, blockSize * 64);
        std::mt19937 rng (7);
        std::uniform_real_distribution<float> dist (-0.25f, 0.25f);

        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < noise.getNumSamples(); ++i)
                noise.setSample (c, i, dist (rng));

        return noise;
    }

    /** Median nanoseconds per frame of running the processor, prepared as a host would. */
    double nanosecondsPerFrame (juce::AudioProcessor& processor, int channels, const std::function<void (int)>& beforeBlock = {})
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::canonicalChannelSet (channels));
        layout.outputBuses.add (juce::AudioChannelSet::canonicalChannelSet (channels));
        processor.setBusesLayout (layout);
        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);

        const auto source = whiteNoise (channels);
        juce::AudioBuffer<float> block (channels, blockSize);
        juce::MidiBuffer midi;
        std::vector<double> results;

        for (int run = 0; run < runs; ++run)
        {
            const auto start = std::chrono::steady_clock::now();

            for (int b = 0; b < blocksPerRun; ++b)
            {
                if (beforeBlock)
                    beforeBlock (b);

                for (int c = 0; c < channels; ++c)
                    block.copyFrom (c, 0, source, c, (b % 64) * blockSize, blockSize);

                processor.processBlock (block, midi);
            }

            const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
            results.push_back (elapsed.count() / (blocksPerRun * (double) blockSize));
        }

        processor.releaseResources();
        std::sort (results.begin(), results.end());
        return results[results.size() / 2];
    }

    /** Sets a hosted parameter by identifier to a plain number or to one of its labels. */
    void set (RenderHost& host, const char* id, const juce::String& value)
    {
        if (value.containsOnly ("0123456789.-"))
        {
            host.setParameter (id, value);
            return;
        }

        for (auto* parameter : host.getProcessor().getParameters())
        {
            const auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter);

            if (hosted == nullptr || ! (hosted->getParameterID() == id || hosted->getParameterID().endsWith (juce::String (":") + id)))
                continue;

            for (int step = 0; step <= 1000; ++step)
            {
                if (parameter->getText ((float) step / 1000.0f, 64) == value)
                {
                    parameter->setValueNotifyingHost ((float) step / 1000.0f);
                    return;
                }
            }
        }

        throw velorn::render::RenderError (std::string ("no label ") + value.toStdString() + " for " + id);
    }

    void setVelornEq (RenderHost& host)
    {
        for (const auto* id : { "filtersOn", "highPassOn", "lowPassOn", "eqOn", "lowOn", "lowMidOn", "mid1On", "mid2On", "highMidOn", "highOn" })
            host.setParameter (id, "1");

        for (const auto* id : { "lowGain", "lowMidGain", "mid1Gain", "mid2Gain", "highMidGain", "highGain" })
            host.setParameter (id, "3");

        host.setParameter ("highPass", "40");
        host.setParameter ("lowPass", "16000");
    }

    void setVelornAll (RenderHost& host)
    {
        setVelornEq (host);
        host.setParameter ("gateOn", "1");
        host.setParameter ("compressorOn", "1");
    }

    /** Eight filters of the LSP equaliser, the same shapes as Velorn's EQ. */
    void setLspEq (RenderHost& host)
    {
        const char* types[] = { "Hi-pass", "Lo-pass", "Lo-shelf", "Bell", "Bell", "Bell", "Bell", "Hi-shelf" };
        const char* frequencies[] = { "40", "16000", "100", "350", "800", "1600", "3000", "12000" };

        for (int k = 0; k < 8; ++k)
        {
            const auto suffix = juce::String (k);
            set (host, ("ft_" + suffix).toRawUTF8(), types[k]);
            set (host, ("f_" + suffix).toRawUTF8(), frequencies[k]);
            set (host, ("g_" + suffix).toRawUTF8(), k < 2 ? "1" : "1.4125");
            set (host, ("q_" + suffix).toRawUTF8(), "0.9");
        }
    }

    /** The LSP equaliser's filter types are set by their labels; read them back. */
    juce::String describeLspFilters (RenderHost& host)
    {
        juce::StringArray types;

        for (auto* parameter : host.getProcessor().getParameters())
            if (const auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter))
                for (int k = 0; k < 8; ++k)
                    if (hosted->getParameterID().endsWith ("ft_" + juce::String (k)))
                        types.add (parameter->getText (parameter->getValue(), 64));

        return types.joinIntoString (", ");
    }

    void report (const char* what, double ns) { std::cout << "  " << what << ": " << juce::String (ns, 2) << " ns per frame\n"; }
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;

    if (argc < 3)
    {
        std::cerr << "usage: velorn_peer_comparison VELORN.vst3 VELORN.lv2\n";
        return 2;
    }

    try
    {
        RenderHost inProcessAll ({}), inProcessEq ({}), inProcessMono ({}), inProcessChanging ({});
        setVelornAll (inProcessAll);
        setVelornEq (inProcessEq);
        setVelornAll (inProcessMono);
        setVelornAll (inProcessChanging);

        RenderHost vst3 (argv[1]), lv2 (argv[2]);
        setVelornAll (vst3);
        setVelornAll (lv2);

        RenderHost lspEq (lspEqualiser), lspComp (lspCompressor), lspGateHost (lspGate);
        setLspEq (lspEq);

        std::cout << "LSP equaliser filters: " << describeLspFilters (lspEq) << "\n";
        std::cout << "Stereo, 48 kHz, blocks of 512, white noise at -12 dBFS; medians of " << runs << " runs\n";
        const auto velornAll = nanosecondsPerFrame (inProcessAll.getProcessor(), 2);
        const auto velornEq = nanosecondsPerFrame (inProcessEq.getProcessor(), 2);
        const auto velornMono = nanosecondsPerFrame (inProcessMono.getProcessor(), 1);
        auto& changing = *inProcessChanging.getBuiltIn();
        const auto velornChanging = nanosecondsPerFrame (changing, 2, [&] (int b)
        {
            auto* threshold = changing.parameters.getParameter ("compThreshold");
            threshold->setValueNotifyingHost (threshold->convertTo0to1 (b % 2 == 0 ? -20.0f : -19.0f));
        });
        const auto velornVst3 = nanosecondsPerFrame (vst3.getProcessor(), 2);
        const auto velornLv2 = nanosecondsPerFrame (lv2.getProcessor(), 2);
        const auto lspEqNs = nanosecondsPerFrame (lspEq.getProcessor(), 2);
        const auto lspCompNs = nanosecondsPerFrame (lspComp.getProcessor(), 2);
        const auto lspGateNs = nanosecondsPerFrame (lspGateHost.getProcessor(), 2);
        const auto lspChain = lspEqNs + lspCompNs + lspGateNs;

        report ("Velorn, all modules, in process", velornAll);
        report ("Velorn, all modules, VST3", velornVst3);
        report ("Velorn, all modules, LV2", velornLv2);
        report ("Velorn, EQ with all eight sections, in process", velornEq);
        report ("Velorn, all modules, mono, in process", velornMono);
        report ("Velorn, all modules, a parameter change every block", velornChanging);
        report ("LSP para_equalizer_x16_stereo, 8 filters", lspEqNs);
        report ("LSP compressor_stereo", lspCompNs);
        report ("LSP gate_stereo", lspGateNs);
        report ("LSP chain (sum)", lspChain);

        auto goal = [] (const char* text, bool met, const juce::String& figure)
        {
            std::cout << (met ? "met     " : "NOT MET ") << text << ": " << figure << "\n";
        };

        std::cout << "\nGoals\n";
        goal ("1. all modules at most 25 ns per frame", velornAll <= 25.0, juce::String (velornAll, 2) + " ns");
        goal ("1. at least 3x faster than the LSP chain", lspChain / velornAll >= 3.0, juce::String (lspChain / velornAll, 2) + "x");
        goal ("2. EQ faster than the LSP equaliser", velornEq < lspEqNs, juce::String (velornEq, 2) + " vs " + juce::String (lspEqNs, 2) + " ns");
        goal ("3. changing block at most 2x steady (whole-run average)", velornChanging / velornAll <= 2.0, juce::String (velornChanging / velornAll, 2) + "x");
        goal ("4. mono at most 60 % of stereo", velornMono / velornAll <= 0.6, juce::String (100.0 * velornMono / velornAll, 1) + " %");
        goal ("5. VST3 within 5 % of in process", velornVst3 / velornAll <= 1.05, juce::String (100.0 * (velornVst3 / velornAll - 1.0), 1) + " %");
        goal ("5. LV2 within 5 % of in process", velornLv2 / velornAll <= 1.05, juce::String (100.0 * (velornLv2 / velornAll - 1.0), 1) + " %");
        return 0;
    }
    catch (const std::exception& e)
    {
        std::cerr << "velorn_peer_comparison: " << e.what() << "\n";
        return 1;
    }
}
