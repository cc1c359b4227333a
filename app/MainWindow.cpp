#include "app/MainWindow.h"

#include "lookandfeel/TsLookAndFeel.h"
#include "wizard/MainComponent.h"

HfInstallerApplication::MainWindow::MainWindow()
    : juce::DocumentWindow (juce::JUCEApplication::getInstance()->getApplicationName(),
                            juce::Colours::lightgrey,
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            true)
{
    lookAndFeel = std::make_unique<juce::TsLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());

    setUsingNativeTitleBar (true);
    setResizable (false, false);
    setContentOwned (new MainComponent(), true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

HfInstallerApplication::MainWindow::~MainWindow()
{
    lookAndFeel.reset();
}

void HfInstallerApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
