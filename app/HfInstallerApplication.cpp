#include "app/HfInstallerApplication.h"

#include "app/MainWindow.h"
#include "engine/HfInstallationManager.h"
#include "platform/WindowEvents.h"
#include "platform/WindowRepaint.h"

HfInstallerApplication::HfInstallerApplication() = default;

HfInstallerApplication::~HfInstallerApplication()
{
    mainWindow.reset();
}

bool HfInstallerApplication::moreThanOneInstanceAllowed()
{
    return false;
}

void HfInstallerApplication::initialise (const juce::String&)
{
    initialised = true;
    platform::keepWindowsRepainting();
    platform::keepWindowEventsFlowing();

    addInstallationEntries();
    HfInstallationManager::getInstance()->setTargetSubdirectory (getTargetSubdirectory());
    mainWindow = std::make_unique<MainWindow>();
}

void HfInstallerApplication::shutdown()
{
    // JUCE also calls this in a second instance, which hands over before initialise.
    if (! initialised)
        return;

    HfInstallationManager::getInstance()->reset();
    mainWindow.reset();
}

void HfInstallerApplication::anotherInstanceStarted (const juce::String&)
{
}

void HfInstallerApplication::systemRequestedQuit()
{
    quit();
}

HfInstallerApplication* HfInstallerApplication::getInstaller()
{
    return dynamic_cast<HfInstallerApplication*> (juce::JUCEApplication::getInstance());
}
