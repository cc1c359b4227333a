#include "wizard/StepLicenseAgreementComponent.h"

#include "app/HfInstallerApplication.h"

StepLicenseAgreementComponent::StepLicenseAgreementComponent (InstallStepsComponent* parentSteps)
    : InstallStep (parentSteps)
{
    licenseEditor = std::make_unique<juce::TextEditor> ("new text editor");
    addAndMakeVisible (licenseEditor.get());
    licenseEditor->setMultiLine (true, true);
    licenseEditor->setReadOnly (true);
    licenseEditor->setScrollbarsShown (true);
    licenseEditor->setCaretVisible (false);
    licenseEditor->setPopupMenuEnabled (true);
    licenseEditor->setColour (juce::TextEditor::textColourId, juce::Colour (0xff4a4a4a));
    licenseEditor->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xadffffff));

    if (auto* app = HfInstallerApplication::getInstaller())
        licenseEditor->setText (app->getLicenseText());

    setSize (600, 400);
}

StepLicenseAgreementComponent::~StepLicenseAgreementComponent()
{
    licenseEditor.reset();
}

void StepLicenseAgreementComponent::resized()
{
    licenseEditor->setBounds (5, 5, getWidth() - 10, getHeight() - 10);
}

bool StepLicenseAgreementComponent::canContinue()
{
    return true;
}
