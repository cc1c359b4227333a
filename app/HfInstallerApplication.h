#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace juce { class TsLookAndFeel; }

// The generic installer: single instance, start-up, quit and shutdown. Everything that
// belongs to one product comes from the seven hooks.
class HfInstallerApplication : public juce::JUCEApplication
{
public:
    class MainWindow;

    HfInstallerApplication();
    ~HfInstallerApplication() override;

    bool moreThanOneInstanceAllowed() override;
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    // Product hooks.
    virtual void addInstallationEntries() = 0;
    virtual juce::String getWelcomeText() = 0;
    virtual juce::Image getLogoImage() = 0;
    virtual juce::String getLicenseText() = 0;
    virtual juce::String getTargetSubdirectory() = 0;
    virtual juce::String getPluginFileName() = 0;
    virtual juce::String getTemporaryFolderName() = 0;

    // The running application as the installer it is (null when none runs).
    static HfInstallerApplication* getInstaller();

    MainWindow* getMainWindow() const { return mainWindow.get(); }

private:
    std::unique_ptr<MainWindow> mainWindow;
    bool initialised = false;
};
