#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;

namespace
{
    const juce::Colour track (0xff2f2f2f), trackFrame (0xff272727), thumbOutline (0xff565656);

    struct LookAndFeelScrollBars : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
        juce::ScrollBar scrollBar { true };

        // A bar 17 wide whose thumb area runs from 17 to 100, as between two arrow buttons.
        juce::Image vertical (int thumbStart, int thumbSize, bool over, bool down)
        {
            return render (17, 117, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawScrollbar (g, scrollBar, 0, 17, 17, 83, true, thumbStart, thumbSize, over, down);
            });
        }

        juce::Image horizontal (int thumbStart, int thumbSize, bool over, bool down)
        {
            return render (117, 17, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawScrollbar (g, scrollBar, 17, 0, 83, 17, false, thumbStart, thumbSize, over, down);
            });
        }
    };

    struct LookAndFeelProgressBar : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
        double value = 0.0;
        juce::ProgressBar bar { value };

        void SetUp() override { bar.setLookAndFeel (&lookAndFeel); }

        juce::Image paint (double progress, const juce::String& text = {}, int width = 202, int height = 20)
        {
            return render (juce::jmax (1, width), juce::jmax (1, height), [&] (juce::Graphics& g)
            {
                lookAndFeel.drawProgressBar (g, bar, width, height, progress, text);
            });
        }
    };
}

//==============================================================================
TEST_F (LookAndFeelScrollBars, TrackFrameAndThumbPerMouseState)
{
    const struct { bool over, down; juce::uint32 thumb; } cases[] =
    {
        { false, false, 0xff3f3f3f },
        { true,  false, 0xff505050 },
        { true,  true,  0xff484848 },
        { false, true,  0xff393939 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "over " << c.over << ", down " << c.down);
        const auto image = vertical (30, 40, c.over, c.down);
        const juce::Colour thumb (c.thumb);

        // The whole bar is filled, the frame drawn around the thumb area only.
        EXPECT_EQ (pixel (image, 8, 5), track);
        EXPECT_EQ (pixel (image, 0, 5), track);
        for (auto [x, y] : { std::pair { 0, 50 }, { 16, 50 }, { 8, 17 }, { 8, 99 } })
            EXPECT_EQ (pixel (image, x, y), trackFrame) << x << "," << y;
        EXPECT_EQ (pixel (image, 8, 100), track);

        // Thumb from (2, 33) to (15, 66): filled inside, outlined across each edge.
        EXPECT_EQ (pixel (image, 8, 50), thumb);
        EXPECT_EQ (pixel (image, 3, 34), thumb);
        EXPECT_EQ (pixel (image, 13, 64), thumb);
        EXPECT_EQ (pixel (image, 8, 31), track);
        EXPECT_EQ (pixel (image, 8, 67), track);
        EXPECT_TRUE (coloursNear (pixel (image, 8, 32), track.interpolatedWith (thumbOutline, 0.5f), 2));
        EXPECT_TRUE (coloursNear (pixel (image, 8, 33), thumb.interpolatedWith (thumbOutline, 0.5f), 2));
        EXPECT_TRUE (coloursNear (pixel (image, 1, 50), track.interpolatedWith (thumbOutline, 0.5f), 2));
        EXPECT_TRUE (coloursNear (pixel (image, 15, 50), track.interpolatedWith (thumbOutline, 0.5f), 2));
    }
}

TEST_F (LookAndFeelScrollBars, HorizontalBarIsTheVerticalOneTurned)
{
    for (auto [over, down] : { std::pair { false, false }, { true, false }, { true, true } })
    {
        const auto v = vertical (30, 40, over, down);
        const auto h = horizontal (30, 40, over, down);

        for (int y = 0; y < v.getHeight(); ++y)
            for (int x = 0; x < v.getWidth(); ++x)
                ASSERT_TRUE (coloursNear (pixel (h, y, x), pixel (v, x, y), 1)) << x << "," << y;
    }
}

TEST_F (LookAndFeelScrollBars, NoThumbLeavesTrackAndFrame)
{
    const auto image = vertical (30, 0, true, false);

    EXPECT_EQ (pixel (image, 8, 50), track);
    EXPECT_EQ (pixel (image, 2, 33), track);
    EXPECT_EQ (pixel (image, 0, 50), trackFrame);
    EXPECT_FALSE (rendering::anyPixelDiffers (image, { 1, 18, 15, 81 }, track));
}

TEST_F (LookAndFeelScrollBars, ThumbShorterThanItsInsetsIsStillDrawn)
{
    // Size 5: the corners at 33 and 31 swap; the thumb covers rows 31 to 33.
    const auto image = vertical (30, 5, false, false);
    EXPECT_NE (pixel (image, 8, 32), track);
}

TEST_F (LookAndFeelScrollBars, ColoursSetOnTheScrollBarChangeNothing)
{
    const auto before = vertical (30, 40, true, false);

    for (auto id : { juce::ScrollBar::thumbColourId, juce::ScrollBar::trackColourId, juce::ScrollBar::backgroundColourId })
        scrollBar.setColour (id, juce::Colours::red);

    EXPECT_TRUE (rendering::sameImages (vertical (30, 40, true, false), before));
}

TEST_F (LookAndFeelScrollBars, DefaultWidthIs17)
{
    EXPECT_EQ (lookAndFeel.getDefaultScrollbarWidth(), 17);

    juce::Viewport viewport;
    viewport.setLookAndFeel (&lookAndFeel);
    EXPECT_EQ (viewport.getScrollBarThickness(), 17);
    viewport.setLookAndFeel (nullptr);
}

//==============================================================================
TEST_F (LookAndFeelScrollBars, ArrowsAreTenPixelsOnTheirLongerSide)
{
    const struct
    {
        int width, height, direction;
        juce::Rectangle<float> arrow;   // the fitted triangle, before its 0.5 outline
    } cases[] =
    {
        { 17, 17, 0, { 3.5f,   5.375f, 10.0f,  6.25f } },
        { 17, 17, 1, { 5.375f, 3.5f,   6.25f,  10.0f } },
        { 17, 17, 2, { 3.5f,   5.375f, 10.0f,  6.25f } },
        { 17, 17, 3, { 5.375f, 3.5f,   6.25f,  10.0f } },
        { 40, 30, 0, { 15.0f,  11.875f, 10.0f, 6.25f } },
        { 30, 40, 1, { 11.875f, 15.0f, 6.25f,  10.0f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.width << " x " << c.height << ", direction " << c.direction);
        const auto image = render (c.width, c.height, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawScrollbarButton (g, scrollBar, c.width, c.height, c.direction, true, false, false);
        });

        // The outline and its mitred corners reach at most a pixel beyond the triangle.
        const auto drawn = rendering::boundsWhere (image, rendering::isVisible).toFloat();
        EXPECT_NEAR (drawn.getX(), std::floor (c.arrow.getX()), 1.0f);
        EXPECT_NEAR (drawn.getY(), std::floor (c.arrow.getY()), 1.0f);
        EXPECT_NEAR (drawn.getRight(), std::ceil (c.arrow.getRight()), 1.0f);
        EXPECT_NEAR (drawn.getBottom(), std::ceil (c.arrow.getBottom()), 1.0f);

        // Filled in the text colour; the same when hovered or pressed.
        const auto centre = c.arrow.getCentre().toInt();
        EXPECT_EQ (pixel (image, centre.x, centre.y).getARGB(), 0xffbcbcbcu);

        const auto pressed = render (c.width, c.height, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawScrollbarButton (g, scrollBar, c.width, c.height, c.direction, true, true, true);
        });
        EXPECT_TRUE (rendering::sameImages (pressed, image));
    }
}

TEST_F (LookAndFeelScrollBars, ArrowOverhangsAButtonSmallerThanTen)
{
    const auto image = render (20, 20, [&] (juce::Graphics& g)
    {
        g.setOrigin ({ 7, 7 });
        lookAndFeel.drawScrollbarButton (g, scrollBar, 6, 6, 0, true, false, false);
    });

    const auto drawn = rendering::boundsWhere (image, rendering::isVisible);
    EXPECT_NEAR (drawn.getX(), 5, 1);
    EXPECT_NEAR (drawn.getRight(), 15, 1);
}

TEST_F (LookAndFeelScrollBars, UnknownDirectionDrawsNothing)
{
    for (auto direction : { -1, 4, 17 })
    {
        const auto image = render (17, 17, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawScrollbarButton (g, scrollBar, 17, 17, direction, true, false, false);
        });

        EXPECT_TRUE (rendering::boundsWhere (image, rendering::isVisible).isEmpty()) << direction;
    }
}

//==============================================================================
TEST_F (LookAndFeelProgressBar, KnownValueFillsFromXOneInsideARing)
{
    const juce::Colour background (0xff141414), foreground (0xffcf9f21);

    const struct { double progress; int filledPixels; } cases[] =
    {
        { 0.0,   0 },
        { 0.5,   100 },
        { 0.999, 199 },
        { 0.25,  50 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.progress);
        const auto image = paint (c.progress);

        for (int x = 0; x < 202; ++x)
        {
            const auto filled = x >= 1 && x <= c.filledPixels;
            ASSERT_EQ (pixel (image, x, 10), filled ? foreground : background) << x;
            ASSERT_EQ (pixel (image, x, 0), background) << x;
            ASSERT_EQ (pixel (image, x, 19), background) << x;
        }
    }
}

TEST_F (LookAndFeelProgressBar, FullOrNegativeValueShowsStripes)
{
    bar.setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xff2f2f2f));
    bar.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xffcf9f21));

    const juce::Colour base (0xffac841b);
    const auto stripe = base.overlaidWith (juce::Colour (0xffcf9f21).withAlpha (0.85f));

    for (auto progress : { -1.0, 1.0, 1.5 })
    {
        SCOPED_TRACE (progress);
        const int width = 202, height = 20;
        const auto image = paint (progress, {}, width, height);

        // The outermost ring shows only the darkened foreground.
        for (int x = 0; x < width; ++x)
        {
            ASSERT_EQ (pixel (image, x, 0), base) << x;
            ASSERT_EQ (pixel (image, x, height - 1), base) << x;
        }
        for (int y = 0; y < height; ++y)
        {
            ASSERT_EQ (pixel (image, 0, y), base) << y;
            ASSERT_EQ (pixel (image, width - 1, y), base) << y;
        }

        // Inside, stripes of the foreground at 85 % alternate with gaps, every 2 x height.
        bool sawStripe = false, sawGap = false;

        for (int x = 1; x < width - 1; ++x)
        {
            const auto c = pixel (image, x, 10);
            sawStripe = sawStripe || coloursNear (c, stripe, 2);
            sawGap = sawGap || c == base;

            if (x + 2 * height < width - 1)
            {
                ASSERT_EQ (pixel (image, x + 2 * height, 10), c) << x;
            }
        }

        EXPECT_TRUE (sawStripe);
        EXPECT_TRUE (sawGap);
    }
}

TEST_F (LookAndFeelProgressBar, TextIsCentredInAContrastingColour)
{
    const juce::Colour background (0xff141414);
    const auto empty = paint (0.0);
    const auto withText = paint (0.0, "50%");

    // Every pixel that the text changes lies around the middle of the bar.
    const auto changed = rendering::boundsWhere (withText, [] (juce::Colour c) { return c != juce::Colour (0xff141414); });
    EXPECT_FALSE (changed.isEmpty());
    EXPECT_NEAR (changed.getCentreX(), 101, 3);
    EXPECT_NEAR (changed.getCentreY(), 10, 3);
    EXPECT_FALSE (rendering::anyPixelDiffers (empty, empty.getBounds(), background));

    const auto textColour = juce::Colour::contrasting (background, juce::Colour (0xffcf9f21));
    EXPECT_TRUE (coloursNear (rendering::mostDifferentPixel (withText, changed, background), textColour, 16));
}

TEST_F (LookAndFeelProgressBar, BarWithoutAreaDrawsNoStripes)
{
    for (auto [w, h] : { std::pair { 100, 0 }, { 0, 20 }, { 0, 0 } })
    {
        const auto image = paint (-1.0, {}, w, h);
        EXPECT_FALSE (rendering::anyPixelDiffers (image, image.getBounds(), juce::Colour (0xffac841b))) << w << " x " << h;
    }
}
