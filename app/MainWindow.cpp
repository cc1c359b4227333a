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
    ownBounds = getBounds();
    setVisible (true);
}

HfInstallerApplication::MainWindow::~MainWindow()
{
    cancelPendingUpdate();
    lookAndFeel.reset();
}

bool HfInstallerApplication::MainWindow::hasItsOwnSize() const
{
    return getWidth() == ownBounds.getWidth() && getHeight() == ownBounds.getHeight();
}

void HfInstallerApplication::MainWindow::moved()
{
    juce::DocumentWindow::moved();

    if (hasItsOwnSize())
        ownBounds = getBounds();
}

void HfInstallerApplication::MainWindow::resized()
{
    juce::DocumentWindow::resized();

    if (! ownBounds.isEmpty() && ! hasItsOwnSize())
        triggerAsyncUpdate();
}

void HfInstallerApplication::MainWindow::handleAsyncUpdate()
{
    setBounds (ownBounds);
}

void HfInstallerApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
