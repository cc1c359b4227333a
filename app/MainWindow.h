#pragma once

#include "app/HfInstallerApplication.h"

// The installer's only window: fixed size, native title bar, minimise and close only.
class HfInstallerApplication::MainWindow : public juce::DocumentWindow
{
public:
    MainWindow();
    ~MainWindow() override;

    void closeButtonPressed() override;

private:
    std::unique_ptr<juce::LookAndFeel> lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
};
