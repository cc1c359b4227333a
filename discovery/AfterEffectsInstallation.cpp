#include "discovery/AfterEffectsInstallation.h"

#include "app/HfInstallerApplication.h"
#include "discovery/HostNames.h"
#include "discovery/PluginVersion.h"
#include "discovery/ProductVersion.h"

namespace
{
    juce::String installerVersion()
    {
        auto* installer = HfInstallerApplication::getInstaller();
        jassert (installer != nullptr);
        return installer != nullptr ? installer->getApplicationVersion() : juce::String();
    }
}

AfterEffectsInstallation::AfterEffectsInstallation (juce::File folder, juce::String hostName, bool isCustom)
    : path (std::move (folder)), name (std::move (hostName)), custom (isCustom)
{
    if (isInstalledVersionHigher())
        status = "DOWNGRADE";
    else if (isSameVersionInstalled())
        status = "REPAIR";
    else if (getPluginFile().exists())
        status = "UPDATE";
}

juce::String AfterEffectsInstallation::getDisplayName() const
{
    if (name == HostNames::afterEffectsCC)
        return name + " 2012";

    return name;
}

juce::File AfterEffectsInstallation::getPluginFile() const
{
    auto* installer = HfInstallerApplication::getInstaller();
    jassert (installer != nullptr);

    if (installer == nullptr)
        return {};

    return path.getChildFile (installer->getTargetSubdirectory()).getChildFile (installer->getPluginFileName());
}

juce::String AfterEffectsInstallation::getInstalledVersion() const
{
    return getProductVersion (getPluginFile());
}

bool AfterEffectsInstallation::isInstalledVersionHigher() const
{
    return compareWithInstaller ([] (const PluginVersion& installed, const PluginVersion& current) { return installed > current; });
}

bool AfterEffectsInstallation::isSameVersionInstalled() const
{
    return compareWithInstaller ([] (const PluginVersion& installed, const PluginVersion& current) { return installed == current; });
}

bool AfterEffectsInstallation::compareWithInstaller (bool (*compare) (const PluginVersion&, const PluginVersion&)) const
{
    if (! getPluginFile().exists())
        return false;

    const auto installedText = getInstalledVersion();
    if (installedText.isEmpty())
        return false;

    try
    {
        return compare (parseVersion (installedText), parseVersion (installerVersion()));
    }
    catch (const HfException&)
    {
        return false; // an unparsable version is no version to compare
    }
}
