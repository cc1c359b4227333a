#pragma once

#include "wizard/DoubleClickGuard.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class NavigationController;
class StepWelcomeComponent;
class StepLicenseAgreementComponent;
class StepAfterEffectsPathComponent;
class StepInstallProgressComponent;

// The wizard: its four pages, the "Previous" and "Next" buttons, and every transition.
class InstallStepsComponent : public juce::Component, public juce::Button::Listener
{
public:
    InstallStepsComponent();
    ~InstallStepsComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    // Brings both buttons up to date for the page on show; prepares the run on the folder
    // page and starts it on the progress page.
    void updateButtons();

    std::shared_ptr<StepWelcomeComponent> welcomeStep;
    std::shared_ptr<StepLicenseAgreementComponent> licenseStep;
    std::shared_ptr<StepAfterEffectsPathComponent> afterEffectsPathStep;
    std::shared_ptr<StepInstallProgressComponent> installProgressStep;
    std::vector<juce::String> selectedPaths;
    std::unique_ptr<juce::TextButton> previousButton;
    std::unique_ptr<juce::TextButton> nextButton;
    std::unique_ptr<NavigationController> navigation;

private:
    void prepareInstallation();
    void updateProgressStep();

    DoubleClickGuard forwardClickGuard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstallStepsComponent)
};
