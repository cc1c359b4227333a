#include "lookandfeel/DocumentWindowButton.h"

#include "lookandfeel/TsLookAndFeel.h"

CustomLookAndFeel_DocumentWindowButton::CustomLookAndFeel_DocumentWindowButton (const juce::String& name, juce::Colour buttonColour,
                                                                                const juce::Path& normal, const juce::Path& toggled)
    : juce::Button (name), colour (buttonColour), normalShape (normal), toggledShape (toggled)
{
}

CustomLookAndFeel_DocumentWindowButton::~CustomLookAndFeel_DocumentWindowButton() = default;

void CustomLookAndFeel_DocumentWindowButton::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    auto background = juce::Colours::grey;

    if (auto* window = findParentComponentOfClass<juce::ResizableWindow>())
        background = window->getBackgroundColour();

    const auto cx = (float) getWidth() * 0.5f;
    const auto cy = (float) getHeight() * 0.5f;
    const auto r = juce::jmin (cx, cy) * (isButtonDown ? 0.6f : 0.65f);

    g.setColour (background);
    g.fillEllipse (cx - r, cy - r, r * 2.0f, r * 2.0f);

    auto glyphColour = background.contrasting (colour, 0.6f);

    if (! isEnabled())
        glyphColour = glyphColour.withAlpha (0.6f);
    else if (isMouseOverButton)
        glyphColour = glyphColour.brighter (0.4f);

    g.setColour (glyphColour);
    g.drawEllipse (cx - r, cy - r, r * 2.0f, r * 2.0f, r * 0.2f);

    const auto& shape = getToggleState() ? toggledShape : normalShape;

    g.fillPath (shape, shape.getTransformToScaleToFit (cx - r * 0.55f, cy - r * 0.55f, r * 1.1f, r * 1.1f,
                                                       true, juce::Justification::centred));
}

namespace juce
{

Button* TsLookAndFeel::createDocumentWindowButton (int buttonType)
{
    Path shape;

    if (buttonType == DocumentWindow::closeButton)
    {
        shape.addLineSegment (Line<float> (0.0f, 0.0f, 1.0f, 1.0f), 0.35f);
        shape.addLineSegment (Line<float> (1.0f, 0.0f, 0.0f, 1.0f), 0.35f);

        return new CustomLookAndFeel_DocumentWindowButton ("close", Colour (0xffdd1100), shape, shape);
    }

    if (buttonType == DocumentWindow::minimiseButton)
    {
        shape.addLineSegment (Line<float> (0.0f, 0.5f, 1.0f, 0.5f), 0.25f);

        return new CustomLookAndFeel_DocumentWindowButton ("minimise", Colour (0xffaa8811), shape, shape);
    }

    if (buttonType == DocumentWindow::maximiseButton)
    {
        shape.addLineSegment (Line<float> (0.5f, 0.0f, 0.5f, 1.0f), 0.25f);
        shape.addLineSegment (Line<float> (0.0f, 0.5f, 1.0f, 0.5f), 0.25f);

        // Two overlapping squares: the full-screen glyph shown while the window is maximised.
        Path fullScreenShape;
        fullScreenShape.startNewSubPath (45.0f, 100.0f);
        fullScreenShape.lineTo (0.0f, 100.0f);
        fullScreenShape.lineTo (0.0f, 0.0f);
        fullScreenShape.lineTo (100.0f, 0.0f);
        fullScreenShape.lineTo (100.0f, 45.0f);
        fullScreenShape.addRectangle (45.0f, 45.0f, 100.0f, 100.0f);
        PathStrokeType (30.0f).createStrokedPath (fullScreenShape, fullScreenShape);

        return new CustomLookAndFeel_DocumentWindowButton ("maximise", Colour (0xff119911), shape, fullScreenShape);
    }

    return nullptr;
}

} // namespace juce
