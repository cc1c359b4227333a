#pragma once

#include "wizard/InstallStep.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Page 0: the application's name and the welcome text with the version filled in.
class StepWelcomeComponent : public juce::Component, public InstallStep
{
public:
    explicit StepWelcomeComponent (InstallStepsComponent* parent);
    ~StepWelcomeComponent() override;

    void resized() override;
    bool canContinue() override;

    std::unique_ptr<juce::Label> descriptionLabel;
    std::unique_ptr<juce::Label> titleLabel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StepWelcomeComponent)
};
