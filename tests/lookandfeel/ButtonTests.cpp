#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;
using rendering::sameImages;

namespace
{
    struct LookAndFeelButtons : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
        juce::TextButton button { "OK" };
        juce::ToggleButton tickBox { "Folder" };

        void SetUp() override
        {
            button.setLookAndFeel (&lookAndFeel);
            tickBox.setLookAndFeel (&lookAndFeel);
        }

        juce::Image buttonBackground (int width, int height, bool over, bool down, int imageSize = 0)
        {
            button.setSize (width, height);
            return render (juce::jmax (width, imageSize), juce::jmax (height, imageSize), [&] (juce::Graphics& g)
            {
                lookAndFeel.drawButtonBackground (g, button, juce::Colours::red, over, down);
            });
        }

        juce::Image tickBoxImage (int width, int height)
        {
            tickBox.setSize (width, height);
            return render (width, height, [&] (juce::Graphics& g) { lookAndFeel.drawToggleButton (g, tickBox, false, false); });
        }
    };


    bool isBlank (const juce::Image& image)
    {
        return rendering::boundsWhere (image, rendering::isVisible).isEmpty();
    }
}

//==============================================================================
TEST_F (LookAndFeelButtons, BodyFrameAndLinePerMouseState)
{
    const struct
    {
        const char* state;
        bool over, down;
        juce::uint32 top, bottom;
        bool lightFrame;
    } cases[] =
    {
        { "idle",    false, false, 0xff5f5f5f, 0xff484848, true },
        { "hovered", true,  false, 0xff676767, 0xff505050, true },
        { "pressed", false, true,  0xff282828, 0xff282828, false },
    };

    const juce::Colour frame (0xff6b6b6b), line (0xff303030);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.state);
        const auto image = buttonBackground (60, 200, c.over, c.down);

        // The gradient runs over the full height; pressed, it is flat.
        EXPECT_TRUE (coloursNear (pixel (image, 30, 2), juce::Colour (c.top), 2));
        EXPECT_TRUE (coloursNear (pixel (image, 30, 197), juce::Colour (c.bottom), 2));

        // The dark line covers the outermost pixel ring on every side.
        for (auto [x, y] : { std::pair { 0, 100 }, { 59, 100 }, { 30, 0 }, { 30, 199 } })
            EXPECT_TRUE (coloursNear (pixel (image, x, y), line, 1)) << x << "," << y;

        // The light frame is 2 pixels wide around the edge: it shows half over the body's
        // second pixel, and not at all while pressed.
        const auto body = pixel (image, 30, 100);
        const auto expected = c.lightFrame ? body.interpolatedWith (frame, 0.5f) : body;
        EXPECT_TRUE (coloursNear (pixel (image, 1, 100), expected, 2));
        EXPECT_TRUE (coloursNear (pixel (image, 58, 100), expected, 2));
    }
}

TEST_F (LookAndFeelButtons, FrameColoursComeFromTheButtonsOwnColour)
{
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff9000a0));
    const auto image = buttonBackground (60, 40, false, false);

    EXPECT_TRUE (coloursNear (pixel (image, 0, 20), juce::Colour (0xff6e007b), 1));
    EXPECT_TRUE (coloursNear (pixel (image, 1, 20), pixel (image, 30, 20).interpolatedWith (juce::Colour (0xffa93ab5), 0.5f), 2));
}

TEST_F (LookAndFeelButtons, ButtonWithoutInsideDrawsNoBodyOrFrame)
{
    for (auto [w, h] : { std::pair { 1, 20 }, { 20, 1 }, { 0, 0 }, { 1, 1 } })
        EXPECT_TRUE (isBlank (buttonBackground (w, h, false, false, 20))) << w << " x " << h;

    EXPECT_FALSE (isBlank (buttonBackground (2, 2, false, false, 20)));
}

TEST_F (LookAndFeelButtons, ToggledAndDisabledButtonsLookLikeIdleOnes)
{
    button.setButtonText ({});
    button.setSize (80, 24);
    const auto idle = rendering::snapshot (button);

    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (sameImages (rendering::snapshot (button), idle));

    button.setToggleState (false, juce::dontSendNotification);
    button.setEnabled (false);
    EXPECT_TRUE (sameImages (rendering::snapshot (button), idle));
}

//==============================================================================
TEST_F (LookAndFeelButtons, TickBoxIsAFixedBoxWhateverTheButtonsSize)
{
    for (auto height : { 14, 20, 44 })
    {
        SCOPED_TRACE (height);
        tickBox.setButtonText ({});
        const auto image = tickBoxImage (100, height);

        // Body, and the two light lines at rows 3 and 12 drawn half over their neighbours.
        EXPECT_EQ (pixel (image, 7, 7).getARGB(), 0xff505050u);
        EXPECT_EQ (pixel (image, 7, 5).getARGB(), 0xff505050u);

        // Nothing outside the frame.
        EXPECT_EQ (rendering::boundsWhere (image, rendering::isVisible), juce::Rectangle<int> (1, 1, 13, 13));
    }
}

TEST_F (LookAndFeelButtons, TickMarkScalesWithTheHeightAndLeavesTheBoxAtTheTopRight)
{
    tickBox.setButtonText ({});
    tickBox.setToggleState (true, juce::dontSendNotification);

    const auto isTick = [] (juce::Colour c) { return c.getBrightness() > 0.6f; };

    // Height 20: t = 16.5, the tick runs from (3.75, 6.5) down to (6.5, 12) and up to (13.83, 1).
    const auto tall = tickBoxImage (40, 20);
    const auto tallTick = rendering::boundsWhere (tall, isTick);
    EXPECT_EQ (tallTick.getX(), 3);
    EXPECT_EQ (tallTick.getY(), 0);
    EXPECT_EQ (tallTick.getRight(), 15);
    EXPECT_EQ (tallTick.getBottom(), 13);
    EXPECT_TRUE (coloursNear (pixel (tall, 10, 6), juce::Colour (0xffbcbcbc), 8));

    // Height 10: t = 8.25 and y0 = 0, from (2.4, 2.75) to (3.75, 5.5) to (7.4, 0).
    const auto small = tickBoxImage (40, 10);
    const auto smallTick = rendering::boundsWhere (small, isTick);
    EXPECT_GE (smallTick.getX(), 1);
    EXPECT_EQ (smallTick.getY(), 0);
    EXPECT_LE (smallTick.getRight(), 9);
    EXPECT_LE (smallTick.getBottom(), 7);
}

TEST_F (LookAndFeelButtons, DisabledTickBoxDrawsItsTickDarkAndKeepsItsTextColour)
{
    tickBox.setToggleState (true, juce::dontSendNotification);
    tickBox.setButtonText ("Folder");

    const auto enabled = tickBoxImage (120, 20);
    tickBox.setEnabled (false);
    const auto disabled = tickBoxImage (120, 20);

    EXPECT_TRUE (coloursNear (pixel (enabled, 10, 6), juce::Colour (0xffbcbcbc), 8));
    EXPECT_TRUE (coloursNear (pixel (disabled, 10, 6), juce::Colour (0xff2f2f2f), 8));

    const juce::Rectangle<int> textArea (21, 0, 99, 20);
    EXPECT_TRUE (sameImages (enabled.getClippedImage (textArea), disabled.getClippedImage (textArea)));
}

TEST_F (LookAndFeelButtons, TickBoxTextUsesTheTextEditorColourBesideTheBox)
{
    tickBox.setButtonText ("Folder");

    const auto isText = [] (juce::Colour c) { return c.getAlpha() > 0x80; };
    const juce::Rectangle<int> beside (21, 0, 179, 44);

    // Default: the table's text colour, from x 21, in the rows -1 to 14 whatever the height.
    auto image = tickBoxImage (200, 44);
    const auto text = rendering::boundsWhere (image.getClippedImage (beside), isText).translated (21, 0);
    EXPECT_GE (text.getX(), 21);
    EXPECT_LE (text.getBottom(), 15);
    EXPECT_TRUE (coloursNear (rendering::mostDifferentPixel (image, beside, juce::Colours::transparentBlack),
                              juce::Colour (0xffbcbcbc), 2));

    // ToggleButton::textColourId is not the one it reads.
    tickBox.setColour (juce::ToggleButton::textColourId, juce::Colour (0xff00ff00));
    image = tickBoxImage (200, 44);
    EXPECT_TRUE (coloursNear (rendering::mostDifferentPixel (image, beside, juce::Colours::transparentBlack),
                              juce::Colour (0xffbcbcbc), 2));

    tickBox.setColour (juce::TextEditor::textColourId, juce::Colour (0xffff0000));
    image = tickBoxImage (200, 44);
    EXPECT_TRUE (coloursNear (rendering::mostDifferentPixel (image, beside, juce::Colours::transparentBlack),
                              juce::Colour (0xffff0000), 2));
}

TEST_F (LookAndFeelButtons, TickBoxTextTooWideForTheButtonIsSqueezedThenShortenedWithAnEllipsis)
{
    const juce::Font font (15.0f);
    const int width = 140; // 119 pixels beside the box
    const auto dot = font.getStringWidthFloat ("..") - font.getStringWidthFloat (".");

    struct Case { const char* text; const char* shown; };
    const Case cases[] = {
        { "Folder", "as it is" },
        { "Adobe After Effects", "squeezed" },   // fits at a horizontal scale of 0.7
        { "Adobe After Effects CC 2012 (DOWNGRADE)", "shortened" },
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        const juce::String text (c.text);
        tickBox.setButtonText (text);
        tickBox.setSize (width, 20);

        // Drawn into an image wider than the button, which would show any text beyond it.
        const auto image = render (400, 20, [&] (juce::Graphics& g) { lookAndFeel.drawToggleButton (g, tickBox, false, false); });
        const auto drawn = rendering::boundsWhere (image.getClippedImage ({ 21, 0, 379, 20 }), rendering::isVisible).translated (21, 0);
        const juce::String shown (c.shown);

        if (shown == "as it is")
            EXPECT_NEAR (drawn.getRight(), 21 + font.getStringWidth (text), 2);
        else if (shown == "squeezed")
            EXPECT_NEAR (drawn.getRight(), width, 2);
        else
            EXPECT_TRUE (drawn.getRight() <= width && drawn.getRight() > width - 2 * dot) << drawn.getRight();

        // The end of an ellipsis holds only the dots' few rows; the end of a word holds more.
        const auto end = rendering::boundsWhere (image.getClippedImage ({ drawn.getRight() - (int) (2 * dot), 0, (int) (2 * dot), 20 }),
                                                 rendering::isVisible);
        if (shown == "shortened")
            EXPECT_LE (end.getHeight(), 3);
        else
            EXPECT_GT (end.getHeight(), 5);
    }
}

TEST_F (LookAndFeelButtons, TextEditorsHaveNoOutline)
{
    juce::TextEditor editor;
    editor.setLookAndFeel (&lookAndFeel);

    for (auto enabled : { true, false })
    {
        editor.setEnabled (enabled);
        EXPECT_TRUE (isBlank (render (50, 30, [&] (juce::Graphics& g) { lookAndFeel.drawTextEditorOutline (g, 50, 30, editor); })));
    }

    editor.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (TsLookAndFeelShapes, TickAndCrossAreScaledToTheHeightAndCentredInABoxTwiceAsWide)
{
    juce::TsLookAndFeel lookAndFeel;

    const struct
    {
        const char* shape;
        float height;
        juce::Rectangle<float> bounds;
    } cases[] =
    {
        { "tick",  10.0f, { 6.33815f, 0.0f, 7.3237f, 10.0f } },
        { "tick",  20.0f, { 12.6763f, 0.0f, 14.6474f, 20.0f } },
        { "tick",  0.0f,  { 6.33815f, 0.0f, 7.3237f, 10.0f } },
        { "tick",  -5.0f, { 6.33815f, 0.0f, 7.3237f, 10.0f } },
        { "cross", 10.0f, { 5.0f, 0.0f, 10.0f, 10.0f } },
        { "cross", 30.0f, { 15.0f, 0.0f, 30.0f, 30.0f } },
        { "cross", 0.0f,  { 8.116f, 7.585f, 16.662f, 16.663f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.shape << " " << c.height);
        const auto path = juce::String (c.shape) == "tick" ? lookAndFeel.getTickShape (c.height)
                                                           : lookAndFeel.getCrossShape (c.height);
        const auto bounds = path.getBounds();

        EXPECT_NEAR (bounds.getX(), c.bounds.getX(), 2e-3);
        EXPECT_NEAR (bounds.getY(), c.bounds.getY(), 2e-3);
        EXPECT_NEAR (bounds.getWidth(), c.bounds.getWidth(), 2e-3);
        EXPECT_NEAR (bounds.getHeight(), c.bounds.getHeight(), 2e-3);
        EXPECT_TRUE (path.isUsingNonZeroWinding());
    }
}

TEST (TsLookAndFeelShapes, TickHasAShortAndALongArmAndTheCrossTwoBars)
{
    juce::TsLookAndFeel lookAndFeel;
    const auto tick = lookAndFeel.getTickShape (10.0f);
    const auto cross = lookAndFeel.getCrossShape (10.0f);

    const struct { const juce::Path& path; float x, y; bool inside; } cases[] =
    {
        { tick,  8.0f,  6.0f, true },   // short arm
        { tick,  10.6f, 5.0f, true },   // long arm
        { tick,  9.0f,  9.5f, true },   // bottom point
        { tick,  11.0f, 8.0f, false },  // right of the bottom point
        { tick,  8.0f,  2.0f, false },  // between the arms
        { cross, 10.0f, 5.0f, true },   // where the bars cross
        { cross, 6.2f,  1.2f, true },   // end of a bar
        { cross, 10.0f, 1.0f, false },  // between two bars
        { cross, 5.2f,  5.0f, false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.path.contains (c.x, c.y), c.inside) << c.x << "," << c.y;
}
