#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

namespace
{
    // KeyMappingEditorComponent::textColourId; the editor lives in juce_gui_extra.
    constexpr int keyMappingTextColourId = 0x100ad01;
}

//==============================================================================
void TsLookAndFeel::drawPropertyPanelSectionHeader (Graphics& g, const String& name, bool isOpen, int width, int height)
{
    const auto h = (float) height;

    g.setColour (Palette::getDarkBackgroundColour());
    g.fillRect (0, 0, width, height);

    // The triangle sits in a 9 x 9 box centred on (h / 2, h / 2).
    drawTreeviewPlusMinusBox (g, Rectangle<float> (h, h), Colours::white, isOpen, false);

    g.drawImageWithin (sectionHeaderImage2, 17, 2, 16, 14, RectanglePlacement::centred, false);
    g.drawImageWithin (sectionHeaderImage1, 17, 2, 16, 14, RectanglePlacement::centred, false);

    const auto textX = (int) (h + 10.0f + 10.0f + 2.0f);

    g.setColour (textColour);
    g.setFont (Font (13.0f));
    g.drawText (name, textX, 0, width - textX - 4, height, Justification::centredLeft, true);
}

void TsLookAndFeel::drawPropertyComponentBackground (Graphics& g, int width, int height, PropertyComponent&)
{
    g.setColour (Palette::getBackgroundColour());
    g.fillRect (0, 0, width, height - 1);
}

void TsLookAndFeel::drawPropertyComponentLabel (Graphics& g, int, int height, PropertyComponent& component)
{
    g.setColour (Colours::black);

    if (! component.isEnabled())
        g.setOpacity (0.6f);

    g.setFont ((float) jmin (height, 24) * 0.65f);

    const auto r = getPropertyComponentContentPosition (component);

    g.drawFittedText (component.getName(), 3, r.getY(), r.getX() - 5, r.getHeight(),
                      Justification::centredLeft, 2, 0.7f);
}

//==============================================================================
void TsLookAndFeel::drawConcertinaPanelHeader (Graphics& g, const Rectangle<int>& area, bool, bool,
                                               ConcertinaPanel&, Component& panel)
{
    g.setGradientFill (Palette::getBackgroundGradient (area, false));
    g.fillAll();

    g.setColour (shadowColour);
    g.fillRect (area.withHeight (1));
    g.fillRect (area.withTop (area.getBottom() - 1));
    g.fillRect (14, 6, 1, area.getHeight() - 12);

    g.setColour (textColour);
    g.setFont (Font (13.0f));
    g.drawFittedText (panel.getName(), 28, 0, area.getWidth() - 6, area.getHeight(),
                      Justification::centredLeft, 1, 0.7f);
}

//==============================================================================
void TsLookAndFeel::drawTableHeaderBackground (Graphics& g, TableHeaderComponent& header)
{
    auto r = header.getLocalBounds();

    g.setColour (Colours::black.withAlpha (0.5f));
    g.fillRect (r.removeFromBottom (1));

    g.setColour (Colours::white.withAlpha (0.6f));
    g.fillRect (r);

    g.setColour (Colours::black.withAlpha (0.5f));

    for (auto i = header.getNumColumns (true); --i >= 0;)
        g.fillRect (header.getColumnPosition (i).removeFromRight (1));
}

//==============================================================================
// A small filled triangle, pointing down when open and right when closed, in a 9 x 9 box
// centred in the area. Background and hovering do not change it.
void TsLookAndFeel::drawTreeviewPlusMinusBox (Graphics& g, const Rectangle<float>& area,
                                              Colour, bool isOpen, bool)
{
    Path triangle;

    if (isOpen)
        triangle.addTriangle (0.1f, 0.2f, 0.9f, 0.2f, 0.5f, 0.7f);
    else
        triangle.addTriangle (0.1f, 0.1f, 0.1f, 0.9f, 0.7f, 0.5f);

    triangle.applyTransform (triangle.getTransformToScaleToFit (area.getX() + (area.getWidth() - 9.0f) * 0.5f,
                                                                area.getY() + (area.getHeight() - 9.0f) * 0.5f,
                                                                9.0f, 9.0f, true, Justification::centred));

    g.setColour (Palette::getTextColour());
    g.fillPath (triangle);
}

bool TsLookAndFeel::areLinesDrawnForTreeView (TreeView&)
{
    return false;
}

int TsLookAndFeel::getTreeViewIndentSize (TreeView&)
{
    return 15;
}

//==============================================================================
void TsLookAndFeel::drawStretchableLayoutResizerBar (Graphics& g, int, int, bool, bool isMouseOver, bool isMouseDragging)
{
    if (isMouseOver || isMouseDragging)
        g.fillAll (Colours::yellow.withAlpha (0.4f));
}

//==============================================================================
void TsLookAndFeel::drawKeymapChangeButton (Graphics& g, int width, int height, Button& button, const String& keyDescription)
{
    const auto colour = button.findColour (keyMappingTextColourId, true);

    if (keyDescription.isNotEmpty())
    {
        if (button.isEnabled())
        {
            const auto alpha = button.isDown() ? 0.4f : (button.isOver() ? 0.2f : 0.1f);
            const auto bounds = button.getLocalBounds().toFloat();

            g.setColour (colour.withAlpha (alpha));
            g.fillRoundedRectangle (bounds, 4.0f);
            g.drawRoundedRectangle (bounds, 4.0f, 1.0f);
        }

        g.setColour (colour);
        g.setFont ((float) height * 0.6f);
        g.drawFittedText (keyDescription, 4, 0, width - 8, height, Justification::centred, 1, 0.7f);
    }
    else
    {
        // A plus sign cut out of a disc.
        Path plus;
        plus.addEllipse (0.0f, 0.0f, 100.0f, 100.0f);
        plus.addRectangle (22.0f, 43.0f, 56.0f, 14.0f);
        plus.addRectangle (43.0f, 22.0f, 14.0f, 21.0f);
        plus.addRectangle (43.0f, 57.0f, 14.0f, 21.0f);
        plus.setUsingNonZeroWinding (false);

        g.setColour (colour.darker (0.1f).withAlpha (button.isDown() ? 0.7f : (button.isOver() ? 0.5f : 0.3f)));
        g.fillPath (plus, plus.getTransformToScaleToFit (2.0f, 2.0f, (float) width - 4.0f, (float) height - 4.0f, true));
    }

    if (button.hasKeyboardFocus (false))
    {
        g.setColour (colour.withAlpha (0.4f));
        g.drawRect (0, 0, width, height);
    }
}

} // namespace juce
