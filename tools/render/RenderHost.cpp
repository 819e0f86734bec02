#include "RenderHost.h"

#include "RenderError.h"

#include <cmath>
#include <cstdlib>

namespace velorn::render
{
namespace
{
    /** The URI of the first plug-in that an LV2 bundle's manifest declares. */
    juce::String lv2UriFromBundle (const juce::File& bundle)
    {
        const auto manifest = bundle.getChildFile ("manifest.ttl").loadFileAsString();
        auto rest = manifest;

        while (rest.contains ("<"))
        {
            const auto uri = rest.fromFirstOccurrenceOf ("<", false, false).upToFirstOccurrenceOf (">", false, false);
            rest = rest.fromFirstOccurrenceOf (">", false, false);

            if (rest.trimStart().startsWith ("a lv2:Plugin"))
                return uri;
        }

        return {};
    }

    std::unique_ptr<juce::AudioPluginInstance> createFirst (juce::AudioPluginFormat& format, const juce::String& fileOrId)
    {
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, fileOrId);

        if (types.isEmpty())
            return {};

        juce::String error;
        return format.createInstanceFromDescription (*types[0], 48000.0, 512, error);
    }

    /** A .vst3 bundle path, an .lv2 bundle path, or an LV2 URI of an installed plug-in. */
    std::unique_ptr<juce::AudioPluginInstance> loadPlugin (const juce::String& pathOrUri)
    {
        const auto isUri = pathOrUri.contains ("://") || pathOrUri.startsWith ("urn:");
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (pathOrUri);

        if (! isUri && file.getFileExtension() == ".vst3")
        {
            juce::VST3PluginFormat vst3;
            return createFirst (vst3, file.getFullPathName());
        }

        juce::LV2PluginFormat lv2;

        if (isUri)
        {
            lv2.searchPathsForPlugins (lv2.getDefaultLocationsToSearch(), true, false);
            return createFirst (lv2, pathOrUri);
        }

        if (file.isDirectory())
        {
            lv2.searchPathsForPlugins (juce::FileSearchPath (file.getParentDirectory().getFullPathName()), false, false);
            return createFirst (lv2, lv2UriFromBundle (file));
        }

        return {};
    }

    /** A number that is all there is to the text. */
    bool parseNumber (const juce::String& text, float& value)
    {
        const auto s = text.trim().toStdString();
        char* end = nullptr;
        const auto parsed = std::strtod (s.c_str(), &end);

        if (s.empty() || end != s.c_str() + s.size() || ! std::isfinite (parsed))
            return false;

        value = static_cast<float> (parsed);
        return true;
    }

    /** The identifier JUCE's VST3 wrapper gives a parameter: its ID's hash, top bit clear. */
    juce::String vst3ParameterId (const juce::String& id)
    {
        return juce::String ((juce::uint32) id.hashCode() & 0x7fffffffu);
    }
}

RenderHost::RenderHost (const juce::String& pluginPathOrUri)
{
    if (pluginPathOrUri.isEmpty())
    {
        auto velorn = std::make_unique<VelornAudioProcessor>();
        builtIn = velorn.get();
        processor = std::move (velorn);
        return;
    }

    processor = loadPlugin (pluginPathOrUri);

    if (processor == nullptr)
        throw RenderError ("cannot load a VST3 or LV2 plug-in from '" + pluginPathOrUri.toStdString() + "'");
}

juce::AudioProcessorParameter* RenderHost::findParameter (const juce::String& idOrName) const
{
    const auto vst3Id = vst3ParameterId (idOrName);

    for (auto* parameter : processor->getParameters())
    {
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            if (withId->paramID == idOrName || withId->paramID == vst3Id
                || withId->paramID.endsWith (":" + idOrName) || withId->paramID.endsWith ("#" + idOrName))
                return parameter;

        if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter))
        {
            const auto id = hosted->getParameterID();

            if (id == idOrName || id == vst3Id || id.endsWith (":" + idOrName) || id.endsWith ("#" + idOrName)
                || id.endsWith ("/" + idOrName))
                return parameter;
        }
    }

    juce::AudioProcessorParameter* byName = nullptr;

    for (auto* parameter : processor->getParameters())
    {
        if (parameter->getName (1024) == idOrName)
        {
            if (byName != nullptr)
                throw RenderError ("parameter name '" + idOrName.toStdString() + "' is ambiguous: use its identifier");

            byName = parameter;
        }
    }

    return byName;
}

void RenderHost::setParameter (const juce::String& idOrName, const juce::String& valueText)
{
    auto* parameter = findParameter (idOrName);

    if (parameter == nullptr)
        throw RenderError ("unknown parameter '" + idOrName.toStdString() + "'");

    float plain = 0.0f;

    if (! parseNumber (valueText, plain))
        throw RenderError ("value of " + idOrName.toStdString() + " is not a number: '" + valueText.toStdString() + "'");

    // A hosted plug-in turns the plain value into its own normalised one (an
    // LV2 port's range is linear, a VST3 parameter's may be skewed).
    float normalised = 0.0f;

    if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
        normalised = ranged->convertTo0to1 (plain);
    else if (parameter->isBoolean())
        normalised = plain >= 0.5f ? 1.0f : 0.0f;
    else
        normalised = parameter->getValueForText (juce::String (plain));

    parameter->setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, normalised));
}

void RenderHost::loadState (const juce::File& file)
{
    juce::MemoryBlock chunk;

    if (! file.existsAsFile() || ! file.loadFileAsData (chunk))
        throw RenderError ("cannot read state file " + file.getFullPathName().toStdString());

    // The built-in processor ignores a chunk it cannot read; say so rather than render with defaults.
    if (builtIn != nullptr)
    {
        const auto xml = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());

        if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase ("VelornState"))
            throw RenderError ("not a Velorn state chunk: " + file.getFullPathName().toStdString());
    }
    else if (chunk.isEmpty())
    {
        throw RenderError ("empty state file " + file.getFullPathName().toStdString());
    }

    processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
}

void RenderHost::saveState (const juce::File& file)
{
    juce::MemoryBlock chunk;
    processor->getStateInformation (chunk);
    juce::TemporaryFile temp (file);

    if (! temp.getFile().replaceWithData (chunk.getData(), chunk.getSize()) || ! temp.overwriteTargetFileWithTemporary())
        throw RenderError ("cannot write state file " + file.getFullPathName().toStdString());
}

juce::String RenderHost::describeParameters()
{
    juce::String text;

    for (auto* parameter : processor->getParameters())
    {
        juce::String id;

        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            id = withId->paramID;
        else if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter))
            id = hosted->getParameterID();

        juce::String range;

        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
        {
            const auto& r = ranged->getNormalisableRange();
            range = juce::String (r.start) + " to " + juce::String (r.end)
                  + "\tdefault " + juce::String (ranged->convertFrom0to1 (ranged->getDefaultValue()));
        }
        else
        {
            range = "normalised 0 to 1\tdefault " + juce::String (parameter->getDefaultValue());
        }

        text << id << "\t" << parameter->getName (1024) << "\t" << range << "\t" << parameter->getLabel() << "\n";
    }

    return text;
}

} // namespace velorn::render
