#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;

namespace
{
    using Orientation = juce::TabbedButtonBar::Orientation;

    const juce::Colour shadow (0xff141414), outline (0xff4e4e4e);

    struct LookAndFeelTabs : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
        juce::TabbedButtonBar bar { juce::TabbedButtonBar::TabsAtTop };

        void SetUp() override
        {
            bar.setLookAndFeel (&lookAndFeel);
            bar.addTab ("Front", juce::Colours::red, -1);
            bar.addTab ("Back", juce::Colours::red, -1);
            bar.setCurrentTabIndex (0, false);
        }

        juce::TabBarButton& tab (int index, Orientation orientation, int width, int height)
        {
            bar.setOrientation (orientation);
            auto& button = *bar.getTabButton (index);
            button.setBounds (0, 0, width, height);
            return button;
        }

        juce::Image paint (juce::TabBarButton& button, bool over = false, bool down = false)
        {
            return render (button.getWidth(), button.getHeight(),
                           [&] (juce::Graphics& g) { lookAndFeel.drawTabButton (button, g, over, down); });
        }
    };

    // The pixel of a glyph farthest from the body colour of its row (sampled at x 2).
    juce::Point<int> textCore (const juce::Image& image)
    {
        juce::Point<int> best;
        int bestDistance = -1;

        for (int y = 3; y < image.getHeight() - 3; ++y)
        {
            const auto body = image.getPixelAt (3, y);

            for (int x = 3; x < image.getWidth() - 3; ++x)
            {
                const auto c = image.getPixelAt (x, y);
                const auto d = std::abs ((int) c.getRed() - (int) body.getRed()) + std::abs ((int) c.getGreen() - (int) body.getGreen())
                             + std::abs ((int) c.getBlue() - (int) body.getBlue());

                if (d > bestDistance)
                {
                    bestDistance = d;
                    best = { x, y };
                }
            }
        }

        return best;
    }

    void expectTextColour (const juce::Image& image, juce::Colour textColour)
    {
        const auto core = textCore (image);
        const auto body = pixel (image, 3, core.y);
        EXPECT_TRUE (coloursNear (pixel (image, core.x, core.y), body.overlaidWith (textColour), 6)) << "at " << core.toString();
    }

    bool isDarkBody (juce::Colour c)
    {
        return c.getRed() >= 0x2e && c.getRed() <= 0x39 && c.getRed() == c.getGreen() && c.getGreen() == c.getBlue();
    }
}

TEST_F (LookAndFeelTabs, NoSpaceAroundImagesAndNoOverlap)
{
    EXPECT_EQ (lookAndFeel.getTabButtonSpaceAroundImage(), 0);

    for (auto depth : { 0, 1, 24, 100 })
        EXPECT_EQ (lookAndFeel.getTabButtonOverlap (depth), -1) << depth;

    auto& button = tab (1, juce::TabbedButtonBar::TabsAtTop, 80, 30);
    EXPECT_EQ (button.getActiveArea(), button.getLocalBounds());
    EXPECT_EQ (button.getTextArea(), button.getLocalBounds());
}

TEST_F (LookAndFeelTabs, EdgesOnTheThreeSidesAwayFromTheContent)
{
    using P = juce::Point<int>;

    const struct
    {
        Orientation orientation;
        int width, height;
        std::vector<P> shadowPixels, outlinePixels, bodyPixels;
    } cases[] =
    {
        { juce::TabbedButtonBar::TabsAtTop,    80, 30, { { 40, 0 }, { 0, 15 }, { 79, 15 } },  { { 40, 1 }, { 1, 15 }, { 78, 15 } },
                                                       { { 40, 29 }, { 0, 29 }, { 40, 28 }, { 79, 29 } } },
        { juce::TabbedButtonBar::TabsAtBottom, 80, 30, { { 0, 15 }, { 79, 15 }, { 0, 28 } },  { { 40, 28 }, { 1, 15 }, { 78, 15 } },
                                                       { { 40, 0 }, { 40, 1 }, { 40, 29 }, { 0, 29 } } },
        { juce::TabbedButtonBar::TabsAtLeft,   30, 80, { { 15, 0 }, { 0, 40 }, { 0, 78 } },   { { 15, 1 }, { 15, 78 }, { 1, 40 } },
                                                       { { 29, 40 }, { 28, 40 }, { 15, 79 } } },
        { juce::TabbedButtonBar::TabsAtRight,  30, 80, { { 15, 0 }, { 29, 40 }, { 29, 78 } }, { { 15, 1 }, { 15, 78 }, { 28, 40 } },
                                                       { { 0, 40 }, { 1, 40 }, { 15, 79 } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.orientation);
        auto& button = tab (1, c.orientation, c.width, c.height);
        button.setButtonText ({});
        const auto image = paint (button);

        for (auto p : c.shadowPixels)   EXPECT_EQ (pixel (image, p.x, p.y), shadow) << p.toString();
        for (auto p : c.outlinePixels)  EXPECT_EQ (pixel (image, p.x, p.y), outline) << p.toString();
        for (auto p : c.bodyPixels)     EXPECT_TRUE (isDarkBody (pixel (image, p.x, p.y))) << p.toString() << " " << rendering::hex (pixel (image, p.x, p.y));
    }
}

TEST_F (LookAndFeelTabs, InnerEdgeFollowsTheTabsOwnOutlineColour)
{
    auto& button = tab (1, juce::TabbedButtonBar::TabsAtTop, 80, 30);
    button.setColour (juce::TabbedButtonBar::tabOutlineColourId, juce::Colour (0xff0000ff));

    EXPECT_EQ (pixel (paint (button), 40, 1).getARGB(), 0xff0000ffu);

    // Not inherited from the bar.
    button.removeColour (juce::TabbedButtonBar::tabOutlineColourId);
    bar.setColour (juce::TabbedButtonBar::tabOutlineColourId, juce::Colour (0xff00ff00));
    EXPECT_EQ (pixel (paint (button), 40, 1), outline);
}

TEST_F (LookAndFeelTabs, FrontTabHasTheLighterBody)
{
    const struct { int index; bool over; juce::uint32 top, bottom; } cases[] =
    {
        { 0, false, 0xff505050, 0xff3c3c3c },
        { 0, true,  0xff585858, 0xff3c3c3c },
        { 1, false, 0xff383838, 0xff2f2f2f },
        { 1, true,  0xff4a4a4a, 0xff2f2f2f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "tab " << c.index << ", over " << c.over);
        auto& button = tab (c.index, juce::TabbedButtonBar::TabsAtTop, 40, 100);
        button.setButtonText ({});
        const auto image = paint (button, c.over);

        EXPECT_TRUE (coloursNear (pixel (image, 20, 2), juce::Colour (c.top), 2));
        EXPECT_TRUE (coloursNear (pixel (image, 20, 99), juce::Colour (c.bottom), 2));
    }
}

TEST_F (LookAndFeelTabs, TextColourRules)
{
    const auto white = juce::Colours::white;

    const struct
    {
        const char* name;
        int index;
        bool enabled, over, down;
        std::optional<juce::uint32> barTextColour;
        juce::Colour expected;
    } cases[] =
    {
        { "front",                       0, true,  false, false, {},         juce::Colour (0xffbcbcbc) },
        { "front, bar colour",           0, true,  false, false, 0xff00ff00, juce::Colour (0xffbcbcbc) },
        { "back",                        1, true,  false, false, {},         white.withMultipliedAlpha (0.8f).darker (0.5f) },
        { "back, hovered",               1, true,  true,  false, {},         white.darker (0.5f) },
        { "back, pressed",               1, true,  false, true,  {},         white.darker (0.5f) },
        { "back, disabled",              1, false, false, false, {},         white.withMultipliedAlpha (0.3f).darker (0.5f) },
        { "back, disabled and hovered",  1, false, true,  true,  {},         white.withMultipliedAlpha (0.3f).darker (0.5f) },
        { "back, bar colour",            1, true,  false, false, 0xff00ff00, juce::Colour (0xff00aa00) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        bar.removeColour (juce::TabbedButtonBar::tabTextColourId);
        bar.removeColour (juce::TabbedButtonBar::frontTextColourId);

        if (c.barTextColour)
        {
            bar.setColour (juce::TabbedButtonBar::tabTextColourId, juce::Colour (*c.barTextColour));
            bar.setColour (juce::TabbedButtonBar::frontTextColourId, juce::Colour (*c.barTextColour));
        }

        auto& button = tab (c.index, juce::TabbedButtonBar::TabsAtTop, 200, 60);
        button.setButtonText ("  Tab  ");
        button.setEnabled (c.enabled);

        expectTextColour (paint (button, c.over, c.down), c.expected);
        button.setEnabled (true);
    }
}

TEST_F (LookAndFeelTabs, TextIsCentredAndTurnedForSideTabs)
{
    const struct { Orientation orientation; int width, height; bool upright; } cases[] =
    {
        { juce::TabbedButtonBar::TabsAtTop,    160, 30, true },
        { juce::TabbedButtonBar::TabsAtBottom, 160, 30, true },
        { juce::TabbedButtonBar::TabsAtLeft,   30, 160, false },
        { juce::TabbedButtonBar::TabsAtRight,  30, 160, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.orientation);
        auto& button = tab (0, c.orientation, c.width, c.height);
        button.setButtonText ("Long tab name");
        const auto image = paint (button);

        const auto text = rendering::boundsWhere (image.getClippedImage ({ 2, 2, c.width - 4, c.height - 4 }),
                                                  [] (juce::Colour p) { return p.getBrightness() > 0.45f; })
                              .translated (2, 2);

        ASSERT_FALSE (text.isEmpty());
        EXPECT_EQ (text.getWidth() > text.getHeight(), c.upright) << text.toString();
        EXPECT_NEAR (text.getCentreX(), c.width / 2, 3) << text.toString();
        EXPECT_NEAR (text.getCentreY(), c.height / 2, 3) << text.toString();
    }
}

TEST_F (LookAndFeelTabs, DrawingTheTextLeavesTheContextUntransformed)
{
    auto& button = tab (0, juce::TabbedButtonBar::TabsAtLeft, 30, 100);

    const auto image = render (30, 100, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawTabButton (button, g, false, false);
        g.setColour (juce::Colours::red);
        g.fillRect (0, 0, 1, 1);
    });

    EXPECT_EQ (pixel (image, 0, 0), juce::Colours::red);
}

//==============================================================================
TEST_F (LookAndFeelTabs, StripBehindTheFrontTabAlongTheContentEdge)
{
    using P = juce::Point<int>;

    const struct
    {
        Orientation orientation;
        int w, h;
        std::vector<P> shadowPixels, outlinePixels, untouchedPixels;
    } cases[] =
    {
        { juce::TabbedButtonBar::TabsAtTop,    100, 30, { { 0, 27 }, { 99, 28 } }, { { 0, 29 }, { 99, 29 } }, { { 50, 26 }, { 50, 0 } } },
        { juce::TabbedButtonBar::TabsAtBottom, 100, 30, { { 0, 1 }, { 99, 2 } },   { { 0, 0 }, { 99, 0 } },   { { 50, 3 }, { 50, 29 } } },
        { juce::TabbedButtonBar::TabsAtLeft,   30, 100, { { 0, 0 }, { 28, 0 } },   { { 29, 0 }, { 29, 99 } }, { { 15, 1 }, { 28, 50 } } },
        { juce::TabbedButtonBar::TabsAtRight,  30, 100, { { 1, 0 }, { 29, 0 } },   { { 0, 0 }, { 0, 99 } },   { { 15, 1 }, { 1, 50 } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.orientation);
        bar.setOrientation (c.orientation);
        const auto image = render (c.w, c.h, [&] (juce::Graphics& g) { lookAndFeel.drawTabAreaBehindFrontButton (bar, g, c.w, c.h); });

        for (auto p : c.shadowPixels)     EXPECT_EQ (pixel (image, p.x, p.y), shadow) << p.toString();
        for (auto p : c.outlinePixels)    EXPECT_EQ (pixel (image, p.x, p.y), outline) << p.toString();
        for (auto p : c.untouchedPixels)  EXPECT_EQ (pixel (image, p.x, p.y).getAlpha(), 0) << p.toString();
    }
}

TEST_F (LookAndFeelTabs, TabsAtTheBottomStayVisibleBehindTheFrontTab)
{
    bar.setOrientation (juce::TabbedButtonBar::TabsAtBottom);
    bar.setBounds (0, 0, 300, 30);

    const auto image = rendering::snapshot (bar);
    const auto back = bar.getTabButton (1)->getBounds();

    // The body of the tab behind shows its own dark gradient.
    EXPECT_TRUE (isDarkBody (pixel (image, back.getX() + 4, 15))) << rendering::hex (pixel (image, back.getX() + 4, 15));
}

TEST_F (LookAndFeelTabs, LineBehindTheFrontTabFollowsTheBarsOutlineColour)
{
    bar.setColour (juce::TabbedButtonBar::tabOutlineColourId, juce::Colour (0xffff00ff));
    const auto image = render (100, 30, [&] (juce::Graphics& g) { lookAndFeel.drawTabAreaBehindFrontButton (bar, g, 100, 30); });

    EXPECT_EQ (pixel (image, 50, 29).getARGB(), 0xffff00ffu);
    EXPECT_EQ (pixel (image, 50, 28), shadow);
}
