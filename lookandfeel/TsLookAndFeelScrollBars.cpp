#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

// A flat arrow, 10 pixels on its longer side whatever the button's size; no button body,
// and no hover or pressed look.
void TsLookAndFeel::drawScrollbarButton (Graphics& g, ScrollBar&, int width, int height, int buttonDirection,
                                         bool, bool, bool)
{
    const auto w = (float) width;
    const auto h = (float) height;

    Path arrow;

    switch (buttonDirection)
    {
        case 0:  arrow.addTriangle (w * 0.5f, h * 0.2f, w * 0.1f, h * 0.7f, w * 0.9f, h * 0.7f); break;
        case 1:  arrow.addTriangle (w * 0.8f, h * 0.5f, w * 0.3f, h * 0.1f, w * 0.3f, h * 0.9f); break;
        case 2:  arrow.addTriangle (w * 0.5f, h * 0.8f, w * 0.1f, h * 0.3f, w * 0.9f, h * 0.3f); break;
        case 3:  arrow.addTriangle (w * 0.2f, h * 0.5f, w * 0.7f, h * 0.1f, w * 0.7f, h * 0.9f); break;
        default: break;
    }

    arrow.applyTransform (arrow.getTransformToScaleToFit ((w - 10.0f) * 0.5f, (h - 10.0f) * 0.5f, 10.0f, 10.0f,
                                                          true, Justification::centred));

    g.setColour (textColour);
    g.fillPath (arrow);

    g.setColour (shadowColour);
    g.strokePath (arrow, PathStrokeType (0.5f));
}

// A flat framed track with a thumb inset by 2 pixels across and 3 and 4 pixels along.
// Colours set on the scroll bar itself are not used.
void TsLookAndFeel::drawScrollbar (Graphics& g, ScrollBar&, int x, int y, int width, int height,
                                   bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                                   bool isMouseOver, bool isMouseDown)
{
    g.fillAll (Palette::getDarkBackgroundColour());

    g.setColour (Palette::getDarkBackgroundColour().darker (0.2f));
    g.drawRect (x, y, width, height);

    Path thumb;

    if (thumbSize > 0)
    {
        const auto alongStart = (float) (thumbStartPosition + 3);
        const auto alongEnd = (float) (thumbStartPosition + thumbSize - 4);

        const auto area = isScrollbarVertical
            ? Rectangle<float> (Point<float> ((float) (x + 2), alongStart),
                                Point<float> ((float) (x + width - 2), alongEnd))
            : Rectangle<float> (Point<float> (alongStart, (float) (y + 2)),
                                Point<float> (alongEnd, (float) (y + height - 2)));

        thumb.addRectangle (area);
    }

    g.setColour (Palette::getScrollbarThumbColour (isMouseOver, isMouseDown));
    g.fillPath (thumb);

    g.setColour (Palette::getFrameColour().brighter (0.05f));
    g.strokePath (thumb, PathStrokeType (1.0f));
}

int TsLookAndFeel::getDefaultScrollbarWidth()
{
    return 17;
}

// A known value (0 up to, not including, 1) fills from the left inside a 1-pixel ring;
// any other value shows stripes that move 1 pixel to the left every 35 ms.
void TsLookAndFeel::drawProgressBar (Graphics& g, ProgressBar& progressBar, int width, int height,
                                     double progress, const String& textToShow)
{
    const auto background = progressBar.findColour (ProgressBar::backgroundColourId);
    const auto foreground = progressBar.findColour (ProgressBar::foregroundColourId);

    if (progress >= 0.0 && progress < 1.0)
    {
        g.fillAll (background);

        g.setColour (foreground);
        g.fillRect (1, 1, (int) ((double) (width - 2) * progress), height - 2);
    }
    else
    {
        g.fillAll (foreground.darker (0.2f));

        // A bar without area has no stripe period and nothing to tile.
        if (width > 0 && height > 0)
        {
            const auto stripeWidth = height * 2;
            const auto position = (int) ((Time::getMillisecondCounter() / 35u) % (uint32) stripeWidth);

            Path stripes;

            for (auto stripeX = (float) -position; stripeX < (float) (width + stripeWidth); stripeX += (float) stripeWidth)
                stripes.addQuadrilateral (stripeX, 0.0f,
                                          stripeX + (float) stripeWidth * 0.5f, 0.0f,
                                          stripeX, (float) height,
                                          stripeX - (float) stripeWidth * 0.5f, (float) height);

            Image fill (Image::ARGB, width, height, true);

            {
                Graphics imageGraphics (fill);
                imageGraphics.setColour (foreground);
                imageGraphics.fillRect (1, 1, width - 2, height - 2);
            }

            g.setTiledImageFill (fill, 0, 0, 0.85f);
            g.fillPath (stripes);
        }
    }

    if (textToShow.isNotEmpty())
    {
        g.setColour (Colour::contrasting (background, foreground));
        g.setFont ((float) height * 0.6f);
        g.drawText (textToShow, 0, 0, width, height, Justification::centred, false);
    }
}

} // namespace juce
