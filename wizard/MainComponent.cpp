#include "wizard/MainComponent.h"

#include "app/HfInstallerApplication.h"
#include "wizard/InstallStepsComponent.h"

MainComponent::MainComponent()
{
    installSteps = std::make_unique<InstallStepsComponent>();
    addAndMakeVisible (installSteps.get());

    if (auto* app = HfInstallerApplication::getInstaller())
        logo = app->getLogoImage();

    setSize (500, 300);
}

MainComponent::~MainComponent()
{
    installSteps.reset();
    logo = {};
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff2d2d2d));
    g.setColour (juce::Colours::white);
    g.fillRect (0, 0, 171, getHeight());

    if (logo.isValid())
        g.drawImage (logo, 0, 0, 170, getHeight(), 0, 0, logo.getWidth(), logo.getHeight(), false);
}

void MainComponent::resized()
{
    // 332 wide at a width of 500: the wizard reaches 2 pixels past the right edge.
    installSteps->setBounds (170, 0, getWidth() - 168, getHeight());
}
