#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A round title-bar button: a disc in the window's background colour with a ring and a
// glyph in the button's own colour, brightened under the mouse and shrunk while pressed.
class CustomLookAndFeel_DocumentWindowButton : public juce::Button
{
public:
    CustomLookAndFeel_DocumentWindowButton (const juce::String& name, juce::Colour colour,
                                            const juce::Path& normalShape, const juce::Path& toggledShape);
    ~CustomLookAndFeel_DocumentWindowButton() override;

    // Public so that the look can be drawn for any mouse state.
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    juce::Colour colour;
    juce::Path normalShape, toggledShape;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLookAndFeel_DocumentWindowButton)
};
