#pragma once

#include "app/HfInstallerApplication.h"

// The product: Vistrel, by Hollowfen.
class VistrelInstallerApplication : public HfInstallerApplication
{
public:
    VistrelInstallerApplication() = default;
    ~VistrelInstallerApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;

    void addInstallationEntries() override;
    juce::String getWelcomeText() override;
    juce::Image getLogoImage() override;
    juce::String getLicenseText() override;
    juce::String getTargetSubdirectory() override;
    juce::String getPluginFileName() override;
    juce::String getTemporaryFolderName() override;
};
