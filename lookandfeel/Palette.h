#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The theme's fixed colours and gradients. Every function builds a new value.
namespace Palette
{
    juce::Colour getTextColour();
    juce::Colour getBackgroundColour();
    juce::Colour getShadowColour();
    juce::Colour getDarkBackgroundColour();
    juce::Colour getFrameColour();
    juce::Colour getAccentColour();

    juce::Colour getScrollbarThumbColour (bool isMouseOver, bool isMouseDown);

    // Vertical gradients over the area's height, lighter at the top.
    juce::ColourGradient getBackgroundGradient (juce::Rectangle<int> area, bool highlighted);
    juce::ColourGradient getDarkBackgroundGradient (juce::Rectangle<int> area, bool highlighted);
    juce::ColourGradient getButtonGradient (juce::Colour base, juce::Rectangle<int> area,
                                            bool isMouseOver, bool isButtonDown);
}
