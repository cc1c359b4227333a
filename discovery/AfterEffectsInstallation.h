#pragma once

#include <juce_core/juce_core.h>

struct PluginVersion;

// One candidate plug-in folder: a discovered After Effects installation or a folder the
// user browsed to. The status tells what installing there does to a copy of the
// plug-in already in it: "DOWNGRADE", "REPAIR", "UPDATE", or empty when there is none.
// It is worked out once, on construction.
class AfterEffectsInstallation
{
public:
    AfterEffectsInstallation (juce::File folder, juce::String hostName, bool isCustom);

    juce::File path;
    juce::String name;
    bool selected = true;
    bool custom = false;
    juce::String status;

    // The name as the folder list shows it.
    juce::String getDisplayName() const;

    // Where an installed copy of the plug-in lies in this folder.
    juce::File getPluginFile() const;

    // The product version of that copy; empty when there is none or it has no version.
    juce::String getInstalledVersion() const;

    // Both read the disk again on every call; false when no copy is installed or
    // either version cannot be parsed.
    bool isInstalledVersionHigher() const;
    bool isSameVersionInstalled() const;

private:
    bool compareWithInstaller (bool (*compare) (const PluginVersion& installed, const PluginVersion& current)) const;
};
