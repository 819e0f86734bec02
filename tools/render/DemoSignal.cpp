#include "DemoSignal.h"

#include <cmath>

namespace velorn::render
{

AudioData makeDemoSignal()
{
    constexpr double rate = 48000.0;
    constexpr double seconds = 8.0;
    constexpr double twoPi = 6.283185307179586;
    constexpr double beat = 0.25;   // 240 beats per minute in sixteenths of a bar
    const int length = (int) (rate * seconds);

    AudioData demo;
    demo.sampleRate = rate;
    demo.samples.setSize (2, length);

    const double bassNotes[] = { 55.0, 55.0, 82.41, 73.42 };
    juce::Random noise (2024);
    double kickPhase = 0.0, bassPhase = 0.0;

    for (int i = 0; i < length; ++i)
    {
        const auto t = i / rate;
        const auto bar = (int) (t / 2.0);
        const auto quietBar = bar % 2 == 1 && t - bar * 2.0 > 1.0;   // a quiet passage in the second half of odd bars
        const auto sinceBeat = std::fmod (t, beat * 2.0);
        const auto sinceHat = std::fmod (t + beat, beat * 2.0);

        // Kick: a falling sine with a fast decay.
        const auto kickFrequency = 45.0 + 120.0 * std::exp (-sinceBeat * 30.0);
        kickPhase += twoPi * kickFrequency / rate;
        const auto kick = quietBar ? 0.0 : 0.9 * std::sin (kickPhase) * std::exp (-sinceBeat * 9.0);

        // Hi-hat: short noise bursts on the off-beats.
        const auto hat = quietBar ? 0.0 : 0.25 * (noise.nextDouble() * 2.0 - 1.0) * std::exp (-sinceHat * 60.0);

        // Bass: a soft square-ish line, one note per half bar.
        bassPhase += twoPi * bassNotes[(int) (t) % 4] / rate;
        const auto bass = (quietBar ? 0.02 : 0.3) * std::tanh (3.0 * std::sin (bassPhase));

        // A tone that stays through the quiet passages, just above the gate's threshold.
        const auto tone = 0.01 * std::sin (twoPi * 660.0 * t);

        constexpr double headroom = 0.6;   // peaks about 3 dB below full scale
        demo.samples.setSample (0, i, (float) (headroom * (kick + 0.8 * hat + bass + tone)));
        demo.samples.setSample (1, i, (float) (headroom * (kick + 1.2 * hat + bass - tone)));
    }

    return demo;
}

juce::StringArray demoSettings()
{
    return { "gateOn=1", "gateThreshold=-50", "gateRange=-30", "gateRelease=120",
             "filtersOn=1", "highPassOn=1", "highPass=35",
             "eqOn=1", "lowOn=1", "lowGain=3", "mid1On=1", "mid1Freq=400", "mid1Gain=-4", "mid1Q=1.5",
             "highOn=1", "highGain=2.5",
             "compressorOn=1", "compThreshold=-20", "compRatio=4", "compAttack=5", "compRelease=120",
             "moduleOrder=0" };
}

} // namespace velorn::render
