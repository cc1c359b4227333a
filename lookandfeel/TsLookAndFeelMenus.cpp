#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

// Flat, in this look-and-feel's own menu colour (not the menu's), without an outline.
void TsLookAndFeel::drawPopupMenuBackground (Graphics& g, int, int)
{
    g.fillAll (findColour (PopupMenu::backgroundColourId));
}

void TsLookAndFeel::drawMenuBarBackground (Graphics& g, int width, int height, bool, MenuBarComponent& menuBar)
{
    const auto base = menuBar.findColour (PopupMenu::backgroundColourId);
    Rectangle<int> area (width, height);

    g.setColour (base.contrasting (0.15f));
    g.fillRect (area.removeFromTop (1));
    g.fillRect (area.removeFromBottom (1));

    g.setGradientFill (ColourGradient (base, 0.0f, 0.0f, base.darker (0.08f), 0.0f, (float) height, false));
    g.fillRect (area);
}

// A flat box with a dark outer frame, a separator 30 pixels from the right and an 8 x 8
// arrow at the left of the button area. The box's own background colour is not used.
void TsLookAndFeel::drawComboBox (Graphics& g, int width, int height, bool,
                                  int buttonX, int, int, int buttonH, ComboBox& box)
{
    const auto outline = box.findColour (ComboBox::outlineColourId);

    g.fillAll (backgroundColour);

    g.setColour (outline);
    g.drawRect (1, 1, width - 2, height - 2);

    g.setColour (shadowColour);
    g.drawRect (0, 0, width, height);

    Path separator;
    separator.addRectangle ((float) (width - 30), 3.0f, 1.0f, (float) (height - 6));

    g.setColour (outline);
    g.strokePath (separator, PathStrokeType (0.5f));
    g.setColour (shadowColour);
    g.fillPath (separator);

    Path arrow;
    arrow.addTriangle (0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 1.0f);
    arrow.applyTransform (arrow.getTransformToScaleToFit ((float) buttonX, (float) (buttonH - 8) * 0.5f, 8.0f, 8.0f,
                                                          true, Justification::centred));

    g.setColour (Palette::getTextColour());
    g.fillPath (arrow);
}

void TsLookAndFeel::positionComboBoxText (ComboBox& box, Label& label)
{
    LookAndFeel_V2::positionComboBoxText (box, label);
    label.setColour (Label::textColourId, Palette::getTextColour());
}

void TsLookAndFeel::drawLinearSlider (Graphics& g, int x, int y, int width, int height,
                                      float sliderPos, float minSliderPos, float maxSliderPos,
                                      const Slider::SliderStyle style, Slider& slider)
{
    g.fillAll (slider.findColour (Slider::backgroundColourId));

    if (style == Slider::LinearBar || style == Slider::LinearBarVertical)
    {
        // The bar shows the value in the track colour, fainter while disabled.
        const auto bar = style == Slider::LinearBar
            ? Rectangle<float> ((float) x, (float) y, sliderPos - (float) x, (float) height)
            : Rectangle<float> ((float) x, sliderPos, (float) width, 1.0f + (float) height - sliderPos);

        const auto track = slider.findColour (Slider::trackColourId);
        g.setColour (slider.isEnabled() ? track : track.withMultipliedAlpha (0.5f));
        g.fillRect (bar);
        return;
    }

    drawLinearSliderBackground (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
    drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

// A sunken rounded track across the middle of the slider, as deep as the thumb radius
// less 2.
void TsLookAndFeel::drawLinearSliderBackground (Graphics& g, int x, int y, int width, int height,
                                                float, float, float, const Slider::SliderStyle, Slider& slider)
{
    const auto r = (float) (getSliderThumbRadius (slider) - 2);

    const auto track = slider.findColour (Slider::trackColourId);
    const auto colour1 = track.overlaidWith (Colour (slider.isEnabled() ? 0x13000000u : 0x09000000u));
    const auto colour2 = track.overlaidWith (Colour (0x06000000u));

    Path trackShape;

    if (slider.isHorizontal())
    {
        const auto iy = (float) y + (float) height * 0.5f - r * 0.5f;
        g.setGradientFill (ColourGradient (colour1, 0.0f, iy, colour2, 0.0f, iy + r, false));
        trackShape.addRoundedRectangle ((float) x - r * 0.5f, iy, (float) width + r, r, 5.0f);
    }
    else
    {
        const auto ix = (float) x + (float) width * 0.5f - r * 0.5f;
        g.setGradientFill (ColourGradient (colour1, ix, 0.0f, colour2, ix + r, 0.0f, false));
        trackShape.addRoundedRectangle (ix, (float) y - r * 0.5f, r, (float) height + r, 5.0f);
    }

    g.fillPath (trackShape);

    g.setColour (track.contrasting (0.5f));
    g.strokePath (trackShape, PathStrokeType (0.5f));
}

} // namespace juce
