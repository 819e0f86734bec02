#include "RenderOptions.h"

#include "RenderError.h"

namespace velorn::render
{

const char* const usageText =
    "usage: velorn-render IN OUT [options]\n"
    "       velorn-render --demo OUT [options]\n"
    "       velorn-render --list-params [--plugin PATH_OR_URI]\n"
    "options:\n"
    "  --block N            block size (default 512)\n"
    "  --bits 24|32         output sample format (default 32-bit float)\n"
    "  --set ID=VALUE       set a parameter in plain units (repeatable)\n"
    "  --state FILE         load a saved state chunk before the settings\n"
    "  --save-state FILE    write the state chunk after the settings are applied\n"
    "  --meters CSV         write the published values of every block\n"
    "  --plugin PATH_OR_URI process through a VST3 or LV2 plug-in binary\n";

namespace
{
    juce::File fileArgument (const juce::String& text)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (text);
    }

    int wholeNumber (const juce::String& option, const juce::String& text)
    {
        if (! text.containsOnly ("0123456789") || text.isEmpty() || text.length() > 7)
            throw UsageError (option.toStdString() + " needs a whole number, not '" + text.toStdString() + "'");

        return text.getIntValue();
    }
}

RenderOptions parseOptions (const juce::StringArray& args)
{
    RenderOptions options;
    juce::StringArray positional;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        auto value = [&]
        {
            if (i + 1 >= args.size())
                throw UsageError (arg.toStdString() + " needs a value");

            return args[++i];
        };

        if (arg == "--demo")                 options.demo = true;
        else if (arg == "--list-params")     options.listParameters = true;
        else if (arg == "--block")
        {
            options.blockSize = wholeNumber (arg, value());

            if (options.blockSize < 1 || options.blockSize > 65536)
                throw UsageError ("--block must be from 1 to 65536");
        }
        else if (arg == "--bits")
        {
            options.bitsPerSample = wholeNumber (arg, value());

            if (options.bitsPerSample != 24 && options.bitsPerSample != 32)
                throw UsageError ("--bits must be 24 or 32");
        }
        else if (arg == "--set")
        {
            const auto setting = value();

            if (! setting.containsChar ('=') || setting.upToFirstOccurrenceOf ("=", false, false).trim().isEmpty())
                throw UsageError ("--set needs ID=VALUE, not '" + setting.toStdString() + "'");

            options.settings.emplace_back (setting.upToFirstOccurrenceOf ("=", false, false).trim(),
                                           setting.fromFirstOccurrenceOf ("=", false, false).trim());
        }
        else if (arg == "--state")           options.stateFile = fileArgument (value());
        else if (arg == "--save-state")      options.saveStateFile = fileArgument (value());
        else if (arg == "--meters")          options.metersFile = fileArgument (value());
        else if (arg == "--plugin")          options.plugin = value();
        else if (arg.startsWith ("--"))      throw UsageError ("unknown option " + arg.toStdString());
        else                                 positional.add (arg);
    }

    if (options.listParameters)
    {
        if (! positional.isEmpty())
            throw UsageError ("--list-params takes no files");

        return options;
    }

    if (options.demo)
    {
        if (positional.size() != 1)
            throw UsageError ("--demo takes one output file");

        options.output = fileArgument (positional[0]);
        return options;
    }

    if (positional.size() != 2)
        throw UsageError ("expected an input and an output file");

    options.input = fileArgument (positional[0]);
    options.output = fileArgument (positional[1]);
    return options;
}

} // namespace velorn::render
