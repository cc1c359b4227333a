#include "wizard/MainComponent.h"

#include "app/HfInstallerApplication.h"

MainComponent::MainComponent()
{
    if (auto* app = HfInstallerApplication::getInstaller())
        logo = app->getLogoImage();

    setSize (500, 300);
}

MainComponent::~MainComponent() = default;

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
}
