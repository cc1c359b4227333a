#include "lookandfeel/Palette.h"

namespace Palette
{
    juce::Colour getTextColour()            { return juce::Colour (0xffbcbcbc); }
    juce::Colour getBackgroundColour()      { return juce::Colour (0xff3f3f3f); }
    juce::Colour getShadowColour()          { return juce::Colour (0xff141414); }
    juce::Colour getDarkBackgroundColour()  { return juce::Colour (0xff2f2f2f); }
    juce::Colour getFrameColour()           { return juce::Colour (0xff4e4e4e); }
    juce::Colour getAccentColour()          { return juce::Colour (0xffcf9f21); }

    juce::Colour getScrollbarThumbColour (bool isMouseOver, bool isMouseDown)
    {
        auto colour = getBackgroundColour();

        if (isMouseOver)
            colour = colour.brighter (0.1f);

        if (isMouseDown)
            colour = colour.darker (0.1f);

        return colour;
    }

    static juce::ColourGradient verticalGradient (juce::Colour colour1, float y1, juce::Colour colour2, float y2)
    {
        return juce::ColourGradient (colour1, 0.0f, y1, colour2, 0.0f, y2, false);
    }

    juce::ColourGradient getBackgroundGradient (juce::Rectangle<int> area, bool highlighted)
    {
        auto base = getBackgroundColour();

        return verticalGradient (base.brighter (highlighted ? 0.15f : 0.1f), (float) area.getY(),
                                 base.darker (0.05f), (float) area.getBottom());
    }

    juce::ColourGradient getDarkBackgroundGradient (juce::Rectangle<int> area, bool highlighted)
    {
        auto base = getDarkBackgroundColour();

        return verticalGradient (base, (float) area.getBottom(),
                                 base.brighter (highlighted ? 0.15f : 0.05f), (float) area.getY());
    }

    juce::ColourGradient getButtonGradient (juce::Colour base, juce::Rectangle<int> area,
                                            bool isMouseOver, bool isButtonDown)
    {
        auto colour = base.brighter (0.1f);

        if (isMouseOver)
            colour = colour.brighter (0.05f);

        if (isButtonDown)
            colour = colour.darker (1.0f);

        const auto k = isButtonDown ? 0.0f : 0.1f;

        return verticalGradient (colour.brighter (k), (float) area.getY(),
                                 colour.darker (k), (float) area.getBottom());
    }
}
