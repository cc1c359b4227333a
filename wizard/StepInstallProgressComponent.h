#pragma once

#include "engine/HfInstallerThread.h"
#include "wizard/InstallStep.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// Page 3: owns the installer thread and shows its progress, its errors and the success.
class StepInstallProgressComponent : public juce::Component,
                                     public InstallStep,
                                     public HfInstallerThread::Listener
{
public:
    explicit StepInstallProgressComponent (InstallStepsComponent* parent);
    ~StepInstallProgressComponent() override;

    // Hands the tasks to the thread and prepares the run; a preparation error is shown
    // and raised again.
    void setTasks (std::vector<InstallationTask> tasks);
    void startInstallation();
    void showError();
    static juce::String getPhaseText (int phase);

    void installerUpdated() override;
    bool canContinue() override;

    void resized() override;
    void paintOverChildren (juce::Graphics& g) override;

    double progress = 0.0;
    std::unique_ptr<HfInstallerThread> installerThread;
    std::unique_ptr<juce::ProgressBar> progressBar;
    std::unique_ptr<juce::Label> statusLabel;
    std::unique_ptr<juce::TextEditor> errorDetailsEditor;
    std::unique_ptr<juce::Label> successLabel;
    std::unique_ptr<juce::Label> successMessageLabel;
    juce::Image successIcon;

private:
    void setStatus (const juce::String& text);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StepInstallProgressComponent)
};
