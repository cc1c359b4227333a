#include "app/VistrelInstallerApplication.h"

#include "app/EmbeddedArchive.h"
#include "engine/HfInstallationManager.h"
#include "resources/ProductData.h"

VistrelInstallerApplication::~VistrelInstallerApplication() = default;

const juce::String VistrelInstallerApplication::getApplicationName()
{
    return "Vistrel Installer";
}

const juce::String VistrelInstallerApplication::getApplicationVersion()
{
    return HF_APPLICATION_VERSION;
}

void VistrelInstallerApplication::addInstallationEntries()
{
    auto entry = loadEmbeddedArchiveEntry();
    HfInstallationManager::getInstance()->addEntry (entry);
}

juce::String VistrelInstallerApplication::getWelcomeText()
{
    return juce::translate ("This will install Vistrel @VERSION@ plugin on your computer.\n\n"
                            "It is recommended to close all other applications before continuing.\n\n"
                            "Press Next to begin with the instalation.\n");
}

juce::Image VistrelInstallerApplication::getLogoImage()
{
    auto png = ProductData::bannerPng();
    return juce::ImageCache::getFromMemory (png.data, static_cast<int> (png.size));
}

juce::String VistrelInstallerApplication::getLicenseText()
{
    auto text = ProductData::licenceText();
    return juce::String (static_cast<const char*> (text.data), text.size);
}

juce::String VistrelInstallerApplication::getTargetSubdirectory()
{
    return juce::String ("Hollowfen") + juce::File::getSeparatorString() + "Vistrel";
}

juce::String VistrelInstallerApplication::getPluginFileName()
{
    return "Vistrel.aex";
}

juce::String VistrelInstallerApplication::getTemporaryFolderName()
{
    return "HfVistrelInstaller";
}
