#include "wizard/StepWelcomeComponent.h"

#include "app/HfInstallerApplication.h"
#include "wizard/WizardLabels.h"

StepWelcomeComponent::StepWelcomeComponent (InstallStepsComponent* parentSteps)
    : InstallStep (parentSteps)
{
    descriptionLabel = wizard::makeLabel ({}, 15.0f, juce::Justification::topLeft);
    addAndMakeVisible (descriptionLabel.get());

    titleLabel = wizard::makeLabel ({}, 17.0f, juce::Justification::centredLeft);
    addAndMakeVisible (titleLabel.get());

    if (auto* app = HfInstallerApplication::getInstaller())
    {
        descriptionLabel->setText (app->getWelcomeText().replace ("@VERSION@", app->getApplicationVersion()),
                                   juce::dontSendNotification);
        titleLabel->setText (app->getApplicationName(), juce::dontSendNotification);
    }

    setSize (600, 400);
}

StepWelcomeComponent::~StepWelcomeComponent()
{
    descriptionLabel.reset();
    titleLabel.reset();
}

void StepWelcomeComponent::resized()
{
    // At least 110 high, and as high as the text needs on this platform's fonts.
    descriptionLabel->setBounds (20, 66, 264, juce::jmax (110, wizard::heightForWholeText (*descriptionLabel, 264)));
    titleLabel->setBounds (20, 21, 264, 24);
}

bool StepWelcomeComponent::canContinue()
{
    return true;
}
