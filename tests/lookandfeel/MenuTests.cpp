#include "lookandfeel/Palette.h"
#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;
using rendering::sameImages;

namespace
{
    const juce::Colour background (0xff3f3f3f), shadow (0xff141414), frame (0xff4e4e4e), text (0xffbcbcbc);

    struct LookAndFeelMenus : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
    };

}

//==============================================================================
TEST_F (LookAndFeelMenus, PopupMenuBackgroundIsFlatWithoutOutline)
{
    const auto direct = render (60, 40, [&] (juce::Graphics& g) { lookAndFeel.drawPopupMenuBackground (g, 60, 40); });

    // JUCE's menu window paints through the variant with options.
    const auto throughOptions = render (60, 40, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawPopupMenuBackgroundWithOptions (g, 60, 40, juce::PopupMenu::Options());
    });

    for (const auto* image : { &direct, &throughOptions })
        EXPECT_FALSE (rendering::anyPixelDiffers (*image, image->getBounds(), background));
}

TEST_F (LookAndFeelMenus, PopupMenuBackgroundComesFromTheLookAndFeelsTable)
{
    lookAndFeel.setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff204060));
    const auto image = render (20, 20, [&] (juce::Graphics& g) { lookAndFeel.drawPopupMenuBackground (g, 1, 1); });

    EXPECT_FALSE (rendering::anyPixelDiffers (image, image.getBounds(), juce::Colour (0xff204060)));
}

TEST_F (LookAndFeelMenus, MenuBarHasEdgeRowsOverAGradientInItsOwnColour)
{
    juce::MenuBarComponent menuBar;
    menuBar.setLookAndFeel (&lookAndFeel);

    for (auto base : { background, juce::Colour (0xff204060) })
    {
        SCOPED_TRACE (rendering::hex (base));
        menuBar.setColour (juce::PopupMenu::backgroundColourId, base);

        const auto image = render (100, 100, [&] (juce::Graphics& g) { lookAndFeel.drawMenuBarBackground (g, 100, 100, false, menuBar); });
        const auto edge = base.contrasting (0.15f);

        EXPECT_EQ (pixel (image, 50, 0), edge);
        EXPECT_EQ (pixel (image, 50, 99), edge);
        EXPECT_TRUE (coloursNear (pixel (image, 50, 1), base, 1));
        EXPECT_TRUE (coloursNear (pixel (image, 50, 98), base.darker (0.08f), 1));

        const auto hovered = render (100, 100, [&] (juce::Graphics& g) { lookAndFeel.drawMenuBarBackground (g, 100, 100, true, menuBar); });
        EXPECT_TRUE (sameImages (hovered, image));
    }

    menuBar.setLookAndFeel (nullptr);
}

//==============================================================================
namespace
{
    struct LookAndFeelComboBox : LookAndFeelMenus
    {
        juce::ComboBox box;

        void SetUp() override
        {
            box.setLookAndFeel (&lookAndFeel);
            box.setSize (100, 24);
        }

        juce::Image paint (int width, int height, int buttonX, int buttonH, bool down = false)
        {
            return render (width, height, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawComboBox (g, width, height, down, buttonX, 0, width - buttonX, buttonH, box);
            });
        }

        juce::Label& label() { return *dynamic_cast<juce::Label*> (box.getChildComponent (0)); }
    };
}

TEST_F (LookAndFeelComboBox, FramesSeparatorAndArrow)
{
    const auto image = paint (100, 24, 80, 24);

    EXPECT_EQ (pixel (image, 40, 12), background);

    for (auto [x, y] : { std::pair { 0, 12 }, { 99, 12 }, { 40, 0 }, { 40, 23 } })
        EXPECT_EQ (pixel (image, x, y), shadow) << x << "," << y;
    for (auto [x, y] : { std::pair { 1, 12 }, { 98, 12 }, { 40, 1 }, { 40, 22 } })
        EXPECT_EQ (pixel (image, x, y), frame) << x << "," << y;

    // Separator: one dark pixel column at x 70 from y 3, its outline spilling a quarter pixel.
    EXPECT_EQ (pixel (image, 70, 12), shadow);
    EXPECT_TRUE (coloursNear (pixel (image, 70, 2), background.interpolatedWith (frame, 0.25f), 2));
    EXPECT_EQ (pixel (image, 69, 2), background);
    EXPECT_TRUE (coloursNear (pixel (image, 69, 12), background.interpolatedWith (frame, 0.25f), 2));
    EXPECT_TRUE (coloursNear (pixel (image, 71, 12), background.interpolatedWith (frame, 0.25f), 2));

    // Arrow: 8 x 8 at the left of the button area, centred in its height, pointing down.
    const auto arrow = rendering::boundsWhere (image.getClippedImage ({ 72, 2, 26, 20 }),
                                               [] (juce::Colour c) { return c.getRed() > 0x3f; }).translated (72, 2);
    EXPECT_EQ (arrow, juce::Rectangle<int> (80, 8, 8, 8));
    EXPECT_EQ (pixel (image, 84, 9), text);
    EXPECT_EQ (pixel (image, 81, 14), background);
}

TEST_F (LookAndFeelComboBox, ArrowIsEightPixelsWhateverTheBoxSize)
{
    box.setSize (200, 60);
    const auto image = paint (200, 60, 144, 60);

    const auto arrow = rendering::boundsWhere (image.getClippedImage ({ 140, 2, 28, 56 }),
                                               [] (juce::Colour c) { return c.getRed() > 0x3f; }).translated (140, 2);
    EXPECT_EQ (arrow, juce::Rectangle<int> (144, 26, 8, 8));
}

TEST_F (LookAndFeelComboBox, BoxColoursThatDoNotChangeTheLook)
{
    const auto plain = paint (100, 24, 80, 24);

    box.setColour (juce::ComboBox::backgroundColourId, juce::Colours::red);
    box.setColour (juce::ComboBox::arrowColourId, juce::Colours::red);
    box.setColour (juce::ComboBox::buttonColourId, juce::Colours::red);
    EXPECT_TRUE (sameImages (paint (100, 24, 80, 24), plain));

    // Pressing and disabling change nothing either.
    EXPECT_TRUE (sameImages (paint (100, 24, 80, 24, true), plain));
    box.setEnabled (false);
    EXPECT_TRUE (sameImages (paint (100, 24, 80, 24), plain));
}

TEST_F (LookAndFeelComboBox, OutlineColourDrawsTheInnerFrameAndTheSeparatorsOutline)
{
    box.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xffff0000));
    const auto image = paint (100, 24, 80, 24);

    EXPECT_EQ (pixel (image, 1, 12).getARGB(), 0xffff0000u);
    EXPECT_EQ (pixel (image, 0, 12), shadow);
    EXPECT_EQ (pixel (image, 70, 12), shadow);
    EXPECT_GT (pixel (image, 69, 12).getRed(), pixel (image, 69, 12).getGreen() + 20);
}

TEST_F (LookAndFeelComboBox, TextLabelIsPlacedByJuceAndColouredInTheThemesText)
{
    box.setColour (juce::ComboBox::textColourId, juce::Colours::red);
    box.setSize (120, 30);

    EXPECT_EQ (label().getBounds(), juce::Rectangle<int> (1, 1, 120 + 3 - 30, 28));
    EXPECT_TRUE (label().isColourSpecified (juce::Label::textColourId));
    EXPECT_EQ (label().findColour (juce::Label::textColourId), text);
    EXPECT_EQ (label().getFont().getHeight(), lookAndFeel.getComboBoxFont (box).getHeight());
}

//==============================================================================
namespace
{
    struct LookAndFeelSliders : LookAndFeelMenus
    {
        juce::Slider slider { juce::Slider::LinearHorizontal, juce::Slider::NoTextBox };

        void SetUp() override { slider.setLookAndFeel (&lookAndFeel); }

        // Painted over black, so that the translucent track shows as a plain colour.
        juce::Image trackImage (int width, int height)
        {
            slider.setSize (width, height);
            return render (width, height, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawLinearSliderBackground (g, 10, 0, width - 20, height, 50.0f, 10.0f, (float) width - 10.0f,
                                                        slider.getSliderStyle(), slider);
            }, juce::Colours::black);
        }

        juce::Image linear (int width, int height, float sliderPos)
        {
            slider.setSize (width, height);
            return render (width, height, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawLinearSlider (g, 10, 0, width - 20, height, sliderPos, 10.0f, (float) width - 10.0f,
                                              slider.getSliderStyle(), slider);
            }, juce::Colours::black);
        }
    };

    const juce::Colour track (0xbbffffff);
}

TEST_F (LookAndFeelSliders, TrackColoursEnabledAndDisabled)
{
    // Radius min (7, 20, 100) + 2 - 2 = 7: the track is 7 deep from y 16.5, x from 6.5 to 193.5.
    const auto colour2 = track.overlaidWith (juce::Colour (0x06000000));

    for (auto enabled : { true, false })
    {
        SCOPED_TRACE (enabled);
        slider.setEnabled (enabled);
        const auto image = trackImage (200, 40);
        const auto colour1 = track.overlaidWith (juce::Colour (enabled ? 0x13000000u : 0x09000000u));
        const juce::ColourGradient gradient (colour1, 0.0f, 16.5f, colour2, 0.0f, 23.5f, false);

        for (auto y : { 17, 20, 22 })
            EXPECT_TRUE (coloursNear (pixel (image, 100, y),
                                      juce::Colours::black.overlaidWith (gradient.getColourAtPosition ((y + 0.5 - 16.5) / 7.0)), 3)) << y;

        EXPECT_EQ (pixel (image, 100, 15), juce::Colours::black);
        EXPECT_EQ (pixel (image, 100, 24), juce::Colours::black);
        EXPECT_EQ (pixel (image, 5, 20), juce::Colours::black);
        EXPECT_EQ (pixel (image, 194, 20), juce::Colours::black);
        EXPECT_NE (pixel (image, 7, 20), juce::Colours::black);
        EXPECT_NE (pixel (image, 192, 20), juce::Colours::black);
    }

    slider.setEnabled (true);
    const auto enabledImage = trackImage (200, 40);
    slider.setEnabled (false);
    EXPECT_NE (pixel (trackImage (200, 40), 100, 17), pixel (enabledImage, 100, 17));
}

TEST_F (LookAndFeelSliders, VerticalTrackRunsDownTheMiddle)
{
    slider.setSliderStyle (juce::Slider::LinearVertical);
    slider.setSize (40, 200);

    const auto image = render (40, 200, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawLinearSliderBackground (g, 0, 10, 40, 180, 50.0f, 10.0f, 190.0f, juce::Slider::LinearVertical, slider);
    }, juce::Colours::black);

    // ix = 20 - 3.5: the track covers x 16.5 to 23.5, y 6.5 to 193.5, lighter to the right.
    EXPECT_EQ (pixel (image, 15, 100), juce::Colours::black);
    EXPECT_EQ (pixel (image, 24, 100), juce::Colours::black);
    EXPECT_EQ (pixel (image, 20, 5), juce::Colours::black);
    EXPECT_NE (pixel (image, 20, 7), juce::Colours::black);
    EXPECT_LT (pixel (image, 17, 100).getRed(), pixel (image, 22, 100).getRed());
}

TEST_F (LookAndFeelSliders, ThinSliderHasATrackOfNoDepth)
{
    const auto image = trackImage (200, 1);
    slider.setSize (200, 1);
    EXPECT_EQ (lookAndFeel.getSliderThumbRadius (slider) - 2, 0);

    // Only the outline of a flat shape, on the one row.
    EXPECT_LE (rendering::boundsWhere (image, [] (juce::Colour c) { return c != juce::Colours::black; }).getHeight(), 1);
}

TEST_F (LookAndFeelSliders, TrackColourIsTheSlidersOwn)
{
    juce::Component parent;
    parent.addAndMakeVisible (slider);
    parent.setColour (juce::Slider::trackColourId, juce::Colours::red);

    const auto own = trackImage (200, 40);
    EXPECT_EQ (pixel (own, 100, 20).getRed(), pixel (own, 100, 20).getGreen());

    slider.setColour (juce::Slider::trackColourId, juce::Colour (0xffff0000));
    const auto red = trackImage (200, 40);
    EXPECT_GT (pixel (red, 100, 20).getRed(), 0xd0);
    EXPECT_LT (pixel (red, 100, 20).getGreen(), 0x20);

    parent.removeChildComponent (&slider);
}

TEST_F (LookAndFeelSliders, LinearSliderFillsItsBackgroundThenDrawsTrackAndThumb)
{
    const auto trackOnly = trackImage (200, 40);
    const auto withThumb = linear (200, 40, 100.0f);

    // The thumb is drawn around the slider position only.
    int left = 200, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (pixel (withThumb, x, y) != pixel (trackOnly, x, y))
            {
                left = juce::jmin (left, x);
                right = juce::jmax (right, x);
            }

    EXPECT_GE (left, 100 - 12);
    EXPECT_LE (right, 100 + 12);
    EXPECT_LT (left, right);

    slider.setColour (juce::Slider::backgroundColourId, juce::Colour (0xff0000ff));
    EXPECT_EQ (pixel (linear (200, 40, 100.0f), 50, 2).getARGB(), 0xff0000ffu);
}

TEST_F (LookAndFeelSliders, BarStylesShowTheValueInTheTrackColour)
{
    const struct { juce::Slider::SliderStyle style; int w, h; float sliderPos; juce::Point<int> inside, outside; } cases[] =
    {
        { juce::Slider::LinearBar,         200, 30, 80.0f, { 79, 15 }, { 81, 15 } },
        { juce::Slider::LinearBarVertical, 30, 200, 80.0f, { 15, 81 }, { 15, 78 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.style);
        slider.setSliderStyle (c.style);
        slider.setSize (c.w, c.h);

        for (auto enabled : { true, false })
        {
            slider.setEnabled (enabled);
            const auto image = render (c.w, c.h, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawLinearSlider (g, 0, 0, c.w, c.h, c.sliderPos, 0.0f, 0.0f, c.style, slider);
            }, juce::Colours::black);

            const auto expected = juce::Colours::black.overlaidWith (enabled ? track : track.withMultipliedAlpha (0.5f));
            EXPECT_TRUE (coloursNear (pixel (image, c.inside.x, c.inside.y), expected, 1)) << enabled;
            EXPECT_EQ (pixel (image, c.outside.x, c.outside.y), juce::Colours::black) << enabled;
        }
    }
}
