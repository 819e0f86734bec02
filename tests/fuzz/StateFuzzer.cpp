// libFuzzer target: any bytes handed to setStateInformation must neither crash
// nor leave a parameter outside its range, and the state must still save.

#include "core/PluginProcessor.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Made once and never destroyed: the fuzzer exits without unwinding
    // JUCE's own shutdown, which would otherwise run twice.
    static auto* juce = new juce::ScopedJuceInitialiser_GUI();
    static auto& processor = *new VelornAudioProcessor();
    juce::ignoreUnused (juce);

    processor.setStateInformation (data, (int) std::min<std::size_t> (size, 1 << 20));

    for (const auto* parameter : processor.getParameters())
    {
        const auto value = parameter->getValue();

        if (! (value >= 0.0f && value <= 1.0f))
            std::abort();
    }

    juce::MemoryBlock saved;
    processor.getStateInformation (saved);

    if (saved.getSize() <= 9)
        std::abort();

    return 0;
}
