#pragma once

#include "app/HfInstallerApplication.h"

// The installer's only window: fixed size, native title bar, minimise and close only.
class HfInstallerApplication::MainWindow : public juce::DocumentWindow,
                                           private juce::AsyncUpdater
{
public:
    MainWindow();
    ~MainWindow() override;

    void closeButtonPressed() override;

    // The window system may give the window a size it never asked for: a window manager
    // that lets the user drag the frame, or, on a busy machine right after the window is
    // shown, the geometry that the window had before the window manager placed it (1 x 1 at
    // the screen's corner, which ends up as 128 x 128 there). The window then takes back
    // the bounds it last had at its own size; a move of the whole window stays.
    void moved() override;
    void resized() override;

private:
    void handleAsyncUpdate() override;
    bool hasItsOwnSize() const;

    std::unique_ptr<juce::LookAndFeel> lookAndFeel;
    juce::Rectangle<int> ownBounds;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
};
