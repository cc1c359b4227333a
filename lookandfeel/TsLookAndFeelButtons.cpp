#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

void drawButtonOutline (Graphics& g, const Path& outline, Colour base, bool isButtonDown)
{
    if (! isButtonDown)
    {
        g.setColour (base.brighter (0.3f));
        g.strokePath (outline, PathStrokeType (2.0f));
    }

    g.setColour (base.darker (0.3f));
    g.strokePath (outline, PathStrokeType (1.0f));
}

// The body follows the button's own colour only: the toggle state (whose colour JUCE
// passes in) and the enabled state leave it alone.
void TsLookAndFeel::drawButtonBackground (Graphics& g, Button& button, const Colour&,
                                          bool isMouseOverButton, bool isButtonDown)
{
    const auto base = button.findColour (TextButton::buttonColourId);
    const auto w = (float) button.getWidth() - 1.0f;
    const auto h = (float) button.getHeight() - 1.0f;

    if (w <= 0.0f || h <= 0.0f)
        return;

    Path outline;
    outline.addRectangle (0.5f, 0.5f, w, h);

    g.setGradientFill (Palette::getButtonGradient (base, button.getLocalBounds(), isMouseOverButton, isButtonDown));
    g.fillPath (outline);

    drawButtonOutline (g, outline, base, isButtonDown);
}

// An 11 x 11 box at the top left, a tick that scales with the button's height, and the
// text beside the box, fitted into the button. Hovering, pressing and focus do not change
// the look.
void TsLookAndFeel::drawToggleButton (Graphics& g, ToggleButton& button, bool, bool)
{
    const auto h = (float) button.getHeight();

    Path box;
    box.addRectangle (2.0f, 2.0f, 11.0f, 11.0f);

    g.setColour (Palette::getBackgroundColour().brighter (0.1f));
    g.fillPath (box);

    g.setColour (Palette::getFrameColour());
    g.strokePath (box, PathStrokeType (2.0f));

    g.setColour (Palette::getDarkBackgroundColour().darker (0.2f));
    g.strokePath (box, PathStrokeType (1.0f));

    g.setColour (Palette::getFrameColour().brighter (0.1f));
    g.drawLine (3.0f, 3.0f, 12.0f, 3.0f);
    g.drawLine (3.0f, 12.0f, 12.0f, 12.0f);

    const auto tickSize = jmin (h * 0.75f, 15.0f) * 1.1f;

    if (button.getToggleState())
    {
        Path tick;
        tick.startNewSubPath (1.5f, 3.0f);
        tick.lineTo (3.0f, 6.0f);
        tick.lineTo (7.0f, 0.0f);

        g.setColour (button.isEnabled() ? Palette::getTextColour() : Palette::getDarkBackgroundColour());

        const auto y0 = (int) ((h - tickSize) * 0.5f);
        const auto transform = AffineTransform::scale (tickSize / 9.0f)
                                   .translated (1.0f, (float) y0);

        g.strokePath (tick, PathStrokeType (2.0f), transform);
    }

    const Font font (15.0f);
    g.setColour (button.findColour (TextEditor::textColourId));
    g.setFont (font);

    // As wide as the text, but no wider than the button: a longer text is squeezed down to a
    // horizontal scale of 0.7 and then shortened with an ellipsis, on its one line.
    const auto text = button.getButtonText();
    const auto width = jmin (font.getStringWidth (text), jmax (0, button.getWidth() - 21));
    g.drawFittedText (text, 21, (int) (6.0f - 15.0f * 0.5f), width, 15,
                      Justification::centredLeft, 1, 0.7f);
}

void TsLookAndFeel::drawTextEditorOutline (Graphics&, int, int, TextEditor&)
{
}

} // namespace juce
