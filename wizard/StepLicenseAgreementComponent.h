#pragma once

#include "wizard/InstallStep.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Page 1: the licence agreement in a read-only, scrolling editor.
class StepLicenseAgreementComponent : public juce::Component, public InstallStep
{
public:
    explicit StepLicenseAgreementComponent (InstallStepsComponent* parent);
    ~StepLicenseAgreementComponent() override;

    void resized() override;
    bool canContinue() override;

    std::unique_ptr<juce::TextEditor> licenseEditor;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StepLicenseAgreementComponent)
};
