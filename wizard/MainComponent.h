#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class InstallStepsComponent;

// The window's content: the banner in a white sidebar and, on the right, the wizard.
class MainComponent : public juce::Component
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    juce::Image logo;
    std::unique_ptr<InstallStepsComponent> installSteps;

private:

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
