#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

namespace
{
    // Fills 1-pixel strips off the edges of the area, in the order top, bottom, left,
    // right, leaving out the edge that faces the tabbed content.
    void fillEdgesAwayFromContent (Graphics& g, Rectangle<int> area, TabbedButtonBar::Orientation orientation)
    {
        if (orientation != TabbedButtonBar::TabsAtBottom)  g.fillRect (area.removeFromTop (1));
        if (orientation != TabbedButtonBar::TabsAtTop)     g.fillRect (area.removeFromBottom (1));
        if (orientation != TabbedButtonBar::TabsAtRight)   g.fillRect (area.removeFromLeft (1));
        if (orientation != TabbedButtonBar::TabsAtLeft)    g.fillRect (area.removeFromRight (1));
    }
}

int TsLookAndFeel::getTabButtonSpaceAroundImage()
{
    return 0;
}

int TsLookAndFeel::getTabButtonOverlap (int)
{
    return -1;
}

void TsLookAndFeel::drawTabButton (TabBarButton& button, Graphics& g, bool isMouseOver, bool isMouseDown)
{
    const auto area = button.getActiveArea();
    const auto orientation = button.getTabbedButtonBar().getOrientation();
    const auto isFrontTab = button.getToggleState();

    g.setGradientFill (isFrontTab ? Palette::getBackgroundGradient (area, isMouseOver)
                                  : Palette::getDarkBackgroundGradient (area, isMouseOver));
    g.fillRect (area);

    // The bottom row of the area never takes part in the outer edge.
    g.setColour (shadowColour);
    fillEdgesAwayFromContent (g, area.withHeight (jmax (0, area.getHeight() - 1)), orientation);

    g.setColour (button.findColour (TabbedButtonBar::tabOutlineColourId));
    fillEdgesAwayFromContent (g, area.reduced (1), orientation);

    Colour colour;

    if (isFrontTab)
    {
        colour = textColour;
    }
    else
    {
        Colour base;
        auto* bar = button.findParentComponentOfClass<TabbedButtonBar>();

        if (bar != nullptr && bar->isColourSpecified (TabbedButtonBar::tabTextColourId))
            base = bar->findColour (TabbedButtonBar::tabTextColourId);
        else
            base = backgroundColour.contrasting (1.0f)
                       .withMultipliedAlpha (! button.isEnabled() ? 0.3f
                                                                  : (isMouseOver || isMouseDown ? 1.0f : 0.8f));

        colour = base.darker (0.5f);
    }

    const auto textArea = button.getTextArea().toFloat();
    const auto isSideTab = orientation == TabbedButtonBar::TabsAtLeft || orientation == TabbedButtonBar::TabsAtRight;
    const auto length = isSideTab ? textArea.getHeight() : textArea.getWidth();
    const auto depth = isSideTab ? textArea.getWidth() : textArea.getHeight();

    Font font (depth * 0.5f);
    font.setUnderline (button.hasKeyboardFocus (false));

    AttributedString text;
    text.setJustification (Justification::centred);
    text.append (button.getButtonText().trim(), font, colour);

    TextLayout layout;
    layout.createLayout (text, length, 1.0e7f);

    AffineTransform transform;

    switch (orientation)
    {
        case TabbedButtonBar::TabsAtLeft:
            transform = AffineTransform::rotation (-MathConstants<float>::halfPi)
                            .translated (textArea.getX(), textArea.getBottom());
            break;

        case TabbedButtonBar::TabsAtRight:
            transform = AffineTransform::rotation (MathConstants<float>::halfPi)
                            .translated (textArea.getRight(), textArea.getY());
            break;

        case TabbedButtonBar::TabsAtTop:
        case TabbedButtonBar::TabsAtBottom:
            transform = AffineTransform::translation (textArea.getX(), textArea.getY());
            break;

        default:
            break;
    }

    Graphics::ScopedSaveState state (g);
    g.addTransform (transform);
    layout.draw (g, Rectangle<float> (length, depth));
}

// A dark strip along the edge that faces the content, with the outline colour on its
// innermost line.
void TsLookAndFeel::drawTabAreaBehindFrontButton (TabbedButtonBar& bar, Graphics& g, int w, int h)
{
    Rectangle<int> strip, line;

    switch (bar.getOrientation())
    {
        case TabbedButtonBar::TabsAtTop:
            strip.setBounds (0, h - 3, w, 3);
            line.setBounds (0, h - 1, w, 1);
            break;

        case TabbedButtonBar::TabsAtBottom:
            strip.setBounds (0, 0, w, 3);
            line.setBounds (0, 0, w, 1);
            break;

        case TabbedButtonBar::TabsAtLeft:
        {
            const auto s = (int) ((float) w * -4.15f);
            strip.setBounds (s, 0, w - s, 1);
            line.setBounds (w - 1, 0, 1, h);
            break;
        }

        case TabbedButtonBar::TabsAtRight:
            strip.setBounds (0, 0, (int) ((float) w * 5.15f), 1);
            line.setBounds (0, 0, 1, h);
            break;

        default:
            break;
    }

    g.setColour (shadowColour);
    g.fillRect (strip);

    g.setColour (bar.findColour (TabbedButtonBar::tabOutlineColourId));
    g.fillRect (line);
}

} // namespace juce
