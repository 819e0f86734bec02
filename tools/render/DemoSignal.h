#pragma once

#include "AudioFiles.h"

namespace velorn::render
{

/** Eight seconds of stereo at 48 kHz made in code: drum-like hits with quiet
    passages between the bars, a bass line and a sustained tone. */
AudioData makeDemoSignal();

/** The demo's setting, which uses all three modules: "ID=VALUE" pairs. */
juce::StringArray demoSettings();

} // namespace velorn::render
