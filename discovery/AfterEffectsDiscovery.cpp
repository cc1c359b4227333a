#include "discovery/AfterEffectsDiscovery.h"

#include "discovery/HostNames.h"
#include "platform/ProcessList.h"
#include "platform/Registry.h"

#include <array>

namespace
{
    const juce::String afterEffectsKey ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\");
    const juce::String pluginPathValue ("\\PluginInstallPath");

    struct HostVersion
    {
        const char* versionKey;
        const char* fallbackVersionKey; // read only when the key of versionKey does not exist
        platform::Registry::WoW64Mode view;
        const juce::String& name;
    };

    const std::array<HostVersion, 7>& hostVersions()
    {
        static const std::array<HostVersion, 7> versions { {
            { "10.0", "10",    platform::Registry::WoW64_Default, HostNames::afterEffectsCS5 },
            { "10.5", nullptr, platform::Registry::WoW64_Default, HostNames::afterEffectsCS55 },
            { "11",   nullptr, platform::Registry::WoW64_64bit,   HostNames::afterEffectsCS6 },
            { "12",   nullptr, platform::Registry::WoW64_Default, HostNames::afterEffectsCC },
            { "13",   nullptr, platform::Registry::WoW64_Default, HostNames::afterEffectsCC2014 },
            { "13.5", nullptr, platform::Registry::WoW64_Default, HostNames::afterEffectsCC2015 },
            { "13.8", nullptr, platform::Registry::WoW64_Default, HostNames::afterEffectsCC20153 },
        } };
        return versions;
    }

    juce::String readPluginPath (const char* versionKey, platform::Registry::WoW64Mode view, bool& keyFound)
    {
        const auto valuePath = afterEffectsKey + versionKey + pluginPathValue;
        keyFound = platform::Registry::keyExists (valuePath, view);
        return keyFound ? platform::Registry::getValue (valuePath, {}, view) : juce::String();
    }

    // _stricmp: the whole name, ASCII letters compared without regard to case.
    bool equalsIgnoringCase (const std::string& name, const char* expected)
    {
        auto lower = [] (unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : int (c); };

        std::size_t i = 0;
        for (; i < name.size() && expected[i] != 0; ++i)
            if (lower (static_cast<unsigned char> (name[i])) != lower (static_cast<unsigned char> (expected[i])))
                return false;

        return i == name.size() && expected[i] == 0;
    }
}

std::vector<AfterEffectsInstallation> discoverAfterEffectsInstallations()
{
    // Every registry value is read before the first record looks at its folder.
    std::array<juce::String, 7> pluginPaths;

    for (size_t i = 0; i < hostVersions().size(); ++i)
    {
        const auto& version = hostVersions()[i];
        bool keyFound = false;
        pluginPaths[i] = readPluginPath (version.versionKey, version.view, keyFound);

        if (! keyFound && version.fallbackVersionKey != nullptr)
            pluginPaths[i] = readPluginPath (version.fallbackVersionKey, version.view, keyFound);
    }

    std::vector<AfterEffectsInstallation> installations;

    for (size_t i = 0; i < hostVersions().size(); ++i)
    {
        // A relative path would resolve against whatever the working folder happens to be.
        if (pluginPaths[i].isEmpty() || ! juce::File::isAbsolutePath (pluginPaths[i]))
            continue;

        juce::File folder (pluginPaths[i]);

        if (folder.exists())
            installations.push_back (AfterEffectsInstallation (std::move (folder), hostVersions()[i].name, false));
    }

    return installations;
}

bool isAfterEffectsRunning()
{
    bool running = false;

    for (const auto& name : platform::getRunningProcessNames())
        if (equalsIgnoringCase (name, "AfterFX.exe"))
            running = true;

    return running;
}
