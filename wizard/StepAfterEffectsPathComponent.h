#pragma once

#include "discovery/AfterEffectsInstallation.h"
#include "wizard/AEPathContainerComponent.h"
#include "wizard/InstallStep.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// Page 2: the After Effects installations to install into, "Browse" for another one,
// and the disk space the installation needs.
class StepAfterEffectsPathComponent : public juce::Component,
                                      public InstallStep,
                                      private AEPathContainerComponent::Listener,
                                      public juce::Button::Listener
{
public:
    explicit StepAfterEffectsPathComponent (InstallStepsComponent* parent);
    ~StepAfterEffectsPathComponent() override;

    void resized() override;
    bool canContinue() override;

    std::vector<juce::String> getSelectedPaths() const;
    bool hasHigherVersionSelected() const;

    void buttonClicked (juce::Button* button) override;

    void refreshList();
    void browseForInstallation();
    static juce::File findPluginsFolder (const juce::File& folder);
    bool isAlreadyListed (const juce::File& folder) const;

    const std::vector<AfterEffectsInstallation>& getInstallations() const { return installations; }

    std::vector<AfterEffectsInstallation> installations;
    AEPathContainerComponent* container = nullptr;
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::TextButton> browseButton;
    std::unique_ptr<juce::Label> requiredSpaceCaption;
    std::unique_ptr<juce::Label> requiredSpaceLabel;
    std::unique_ptr<juce::Label> hintLabel;
    std::unique_ptr<juce::Viewport> viewport;
    std::unique_ptr<juce::Label> emptyListLabel;

private:
    void selectionChanged (size_t index, bool ticked) override;
    void fitListWidth();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StepAfterEffectsPathComponent)
};
