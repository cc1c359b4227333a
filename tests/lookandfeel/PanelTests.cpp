#include "tests/support/MessageLoop.h"
#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;

namespace
{
    const juce::Colour darkBackground (0xff2f2f2f), background (0xff3f3f3f), shadow (0xff141414), text (0xffbcbcbc);

    struct LookAndFeelPanels : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;
    };

    struct Property : juce::PropertyComponent
    {
        Property() : juce::PropertyComponent ("Opacity") {}
        void refresh() override {}
    };

    bool differsFrom (juce::Colour c, juce::Colour from)  { return ! coloursNear (c, from, 4); }

    // A chain of open tree items, one per level, each able to hold more.
    struct ChainItem : juce::TreeViewItem
    {
        explicit ChainItem (int levelsBelow)
        {
            if (levelsBelow > 0)
                addSubItem (new ChainItem (levelsBelow - 1));
        }

        bool mightContainSubItems() override  { return true; }
        int getItemHeight() const override    { return 20; }
    };

    int maxAlpha (const juce::Image& image)
    {
        int result = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                result = juce::jmax (result, (int) image.getPixelAt (x, y).getAlpha());

        return result;
    }
}

//==============================================================================
TEST_F (LookAndFeelPanels, SectionHeaderHasATriangleAndTheNameAfterIt)
{
    const struct { int height; bool open; juce::Rectangle<int> triangle; } cases[] =
    {
        // The 9 x 9 box centred on (h / 2, h / 2).
        { 20, true,  { 5, 7, 10, 6 } },
        { 20, false, { 6, 5, 7, 10 } },
        { 40, true,  { 15, 17, 10, 6 } },
        { 30, false, { 11, 10, 7, 10 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "height " << c.height << ", open " << c.open);
        const auto image = render (300, c.height, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawPropertyPanelSectionHeader (g, "Section", c.open, 300, c.height);
        });

        const auto isDrawn = [] (juce::Colour p) { return differsFrom (p, darkBackground); };

        // Left of the text only the triangle; the two empty images leave nothing.
        const auto triangle = rendering::boundsWhere (image.getClippedImage ({ 0, 0, c.height + 20, c.height }), isDrawn);
        EXPECT_EQ (triangle, c.triangle);
        EXPECT_EQ (pixel (image, c.triangle.getCentreX(), c.triangle.getCentreY()), text);
        EXPECT_EQ (pixel (image, 0, 0), darkBackground);

        // The name starts at x h + 22.
        const auto name = rendering::boundsWhere (image.getClippedImage ({ c.height + 20, 0, 280 - c.height, c.height }), isDrawn)
                              .translated (c.height + 20, 0);
        EXPECT_GE (name.getX(), c.height + 22);
        EXPECT_LE (name.getX(), c.height + 25);
        EXPECT_TRUE (coloursNear (rendering::mostDifferentPixel (image, name, darkBackground), text, 6));
    }
}

TEST_F (LookAndFeelPanels, PropertyRowBackgroundLeavesTheBottomRow)
{
    Property property;
    const auto image = render (100, 25, [&] (juce::Graphics& g) { lookAndFeel.drawPropertyComponentBackground (g, 100, 25, property); });

    EXPECT_FALSE (rendering::anyPixelDiffers (image, { 0, 0, 100, 24 }, background));
    EXPECT_FALSE (rendering::anyPixelDiffers (image, { 0, 24, 100, 1 }, juce::Colours::transparentBlack));
}

TEST_F (LookAndFeelPanels, PropertyLabelIsBlackAndFaintWhenDisabled)
{
    Property property;
    property.setLookAndFeel (&lookAndFeel);
    property.setSize (300, 25);

    // The content starts at 300 / 3: the name fits into x 3 to 98.
    const auto paint = [&] (int width)
    {
        return render (300, 25, [&] (juce::Graphics& g) { lookAndFeel.drawPropertyComponentLabel (g, width, 25, property); });
    };

    const auto enabled = paint (300);
    const auto drawn = rendering::boundsWhere (enabled, rendering::isVisible);
    EXPECT_GE (drawn.getX(), 3);
    EXPECT_LE (drawn.getRight(), 98);
    EXPECT_EQ (maxAlpha (enabled), 255);
    EXPECT_EQ (rendering::mostDifferentPixel (enabled, drawn, juce::Colours::transparentBlack), juce::Colours::black);

    // The width argument plays no part.
    EXPECT_TRUE (rendering::sameImages (paint (10), enabled));

    property.setEnabled (false);
    EXPECT_NEAR (maxAlpha (paint (300)), 153, 2);

    property.setLookAndFeel (nullptr);
}

//==============================================================================
TEST_F (LookAndFeelPanels, ConcertinaHeaderGradientEdgesLineAndName)
{
    juce::ConcertinaPanel concertina;
    juce::Component panel;
    panel.setName ("Panel");

    const auto image = render (200, 30, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawConcertinaPanelHeader (g, { 0, 0, 200, 30 }, true, true, concertina, panel);
    });

    EXPECT_TRUE (coloursNear (pixel (image, 5, 1), juce::Colour (0xff505050), 3));
    EXPECT_TRUE (coloursNear (pixel (image, 5, 28), juce::Colour (0xff3c3c3c), 3));

    for (auto [x, y] : { std::pair { 100, 0 }, { 100, 29 }, { 14, 6 }, { 14, 23 } })
        EXPECT_EQ (pixel (image, x, y), shadow) << x << "," << y;
    for (auto [x, y] : { std::pair { 14, 5 }, { 14, 24 }, { 13, 15 }, { 15, 15 } })
        EXPECT_NE (pixel (image, x, y), shadow) << x << "," << y;

    const auto name = rendering::boundsWhere (image.getClippedImage ({ 16, 1, 184, 28 }),
                                              [] (juce::Colour c) { return c.getBrightness() > 0.45f; }).translated (16, 1);
    EXPECT_GE (name.getX(), 28);
    EXPECT_LE (name.getX(), 31);
}

//==============================================================================
TEST_F (LookAndFeelPanels, TableHeaderBodyBottomRowAndColumnEnds)
{
    juce::TableHeaderComponent header;
    header.setSize (200, 20);

    const auto bottomRow = juce::Colours::black.withAlpha (0.5f);
    const auto body = juce::Colours::white.withAlpha (0.6f);
    const auto columnEnd = body.overlaidWith (bottomRow);

    const auto paint = [&] { return render (200, 20, [&] (juce::Graphics& g) { lookAndFeel.drawTableHeaderBackground (g, header); }); };

    // No visible column: only the body and the bottom row.
    auto image = paint();
    EXPECT_EQ (pixel (image, 100, 19), bottomRow);
    EXPECT_TRUE (coloursNear (pixel (image, 49, 10), body, 2));

    header.addColumn ("A", 1, 50);
    header.addColumn ("B", 2, 70);
    header.addColumn ("C", 3, 40);
    header.setColumnVisible (2, false);

    image = paint();
    EXPECT_TRUE (coloursNear (pixel (image, 49, 10), columnEnd, 2));
    EXPECT_TRUE (coloursNear (pixel (image, 89, 10), columnEnd, 2));
    EXPECT_TRUE (coloursNear (pixel (image, 48, 10), body, 2));
    EXPECT_TRUE (coloursNear (pixel (image, 119, 10), body, 2));
    EXPECT_TRUE (coloursNear (pixel (image, 159, 10), body, 2));
    EXPECT_EQ (pixel (image, 100, 19), bottomRow);
}

//==============================================================================
TEST_F (LookAndFeelPanels, TreeTrianglePointsDownWhenOpenAndRightWhenClosed)
{
    const struct { bool open; juce::Rectangle<int> drawn; } cases[] =
    {
        { true,  { 3, 7, 9, 6 } },
        { false, { 4, 5, 7, 10 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.open);
        const auto paint = [&] (juce::Colour backgroundColour, bool over)
        {
            return render (15, 20, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawTreeviewPlusMinusBox (g, { 0.0f, 0.0f, 15.0f, 20.0f }, backgroundColour, c.open, over);
            });
        };

        const auto image = paint (juce::Colours::white, false);
        EXPECT_EQ (rendering::boundsWhere (image, rendering::isVisible), c.drawn);
        EXPECT_EQ (pixel (image, c.drawn.getCentreX(), c.drawn.getCentreY() - (c.open ? 1 : 0)), text);

        // Background and hovering change nothing.
        for (auto [colour, over] : { std::pair { juce::Colours::black, true }, { juce::Colours::red, false } })
        {
            EXPECT_TRUE (rendering::sameImages (paint (colour, over), image));
        }
    }
}

TEST_F (LookAndFeelPanels, TreeTriangleIsCentredInTheAreaWhereverItLies)
{
    const auto image = render (60, 40, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawTreeviewPlusMinusBox (g, { 30.0f, 20.0f, 15.0f, 20.0f }, juce::Colours::white, false, false);
    });

    EXPECT_EQ (rendering::boundsWhere (image, rendering::isVisible), juce::Rectangle<int> (34, 25, 7, 10));
}

TEST_F (LookAndFeelPanels, TreesHaveNoLinesAndIndentBy15)
{
    juce::TreeView tree;
    tree.setLookAndFeel (&lookAndFeel);

    EXPECT_FALSE (lookAndFeel.areLinesDrawnForTreeView (tree));
    EXPECT_EQ (lookAndFeel.getTreeViewIndentSize (tree), 15);
    EXPECT_EQ (tree.getIndentSize(), 15);

    // Each level of items lies 15 pixels further in.
    ChainItem root (1);
    root.setOpen (true);
    tree.setRootItem (&root);
    EXPECT_EQ (root.getSubItem (0)->getItemPosition (false).getX() - root.getItemPosition (false).getX(), 15);

    tree.setRootItem (nullptr);
    tree.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeelPanels, NestedTreeItemsDrawTheirTrianglesAtTheirOwnIndent)
{
    ChainItem root (2);
    root.setOpen (true);
    root.getSubItem (0)->setOpen (true);

    juce::TreeView tree;
    tree.setLookAndFeel (&lookAndFeel);
    tree.setRootItem (&root);
    tree.setBounds (0, 0, 200, 100);

    auto* content = tree.getViewport()->getViewedComponent();
    ASSERT_TRUE (testing_support::runMessageLoopUntil ([content] { return content->getNumChildComponents() >= 3; }));

    const auto image = rendering::snapshot (tree);

    // Rows of 20 pixels; level d has its triangle centred in x 15 d to 15 d + 15: the two open
    // levels point down (9 wide), the closed one right (7 wide, its tip
    // faint).
    const struct { int left, right; } expected[] = { { 3, 12 }, { 18, 27 }, { 34, 40 } };

    for (int depth = 0; depth < 3; ++depth)
    {
        const auto triangle = rendering::boundsWhere (image.getClippedImage ({ 0, depth * 20, 60, 20 }),
                                                      [] (juce::Colour c) { return c.getBrightness() > 0.5f; });

        EXPECT_EQ (triangle.getX(), expected[depth].left) << depth;
        EXPECT_EQ (triangle.getRight(), expected[depth].right) << depth;
    }

    tree.setRootItem (nullptr);
    tree.setLookAndFeel (nullptr);
}

//==============================================================================
TEST_F (LookAndFeelPanels, ResizerBarOnlyWhileHoveredOrDragged)
{
    const struct { bool over, dragging, painted; } cases[] =
    {
        { false, false, false },
        { true,  false, true },
        { false, true,  true },
        { true,  true,  true },
    };

    for (const auto& c : cases)
        for (auto vertical : { true, false })
        {
            const auto image = render (8, 50, [&] (juce::Graphics& g)
            {
                lookAndFeel.drawStretchableLayoutResizerBar (g, 8, 50, vertical, c.over, c.dragging);
            });

            const auto expected = c.painted ? juce::Colours::yellow.withAlpha (0.4f) : juce::Colours::transparentBlack;
            EXPECT_FALSE (rendering::anyPixelDiffers (image, image.getBounds(), expected)) << c.over << c.dragging << vertical;
        }
}

//==============================================================================
namespace
{
    struct KeyMappingButtons : LookAndFeelPanels
    {
        juce::Component parent;
        juce::TextButton button;

        void SetUp() override
        {
            parent.setLookAndFeel (&lookAndFeel);
            parent.addAndMakeVisible (button);
            button.setSize (60, 24);
        }

        juce::Image paint (const juce::String& description)
        {
            return render (60, 24, [&] (juce::Graphics& g) { lookAndFeel.drawKeymapChangeButton (g, 60, 24, button, description); });
        }
    };
}

TEST_F (KeyMappingButtons, EmptyDescriptionShowsAPlusCutOutOfADisc)
{
    // The disc is fitted into (2, 2, 56, 20): 20 across, centred at (30, 12).
    const struct { juce::Button::ButtonState state; bool enabled; float alpha; } cases[] =
    {
        { juce::Button::buttonNormal, true,  0.3f },
        { juce::Button::buttonOver,   true,  0.5f },
        { juce::Button::buttonDown,   true,  0.7f },
        { juce::Button::buttonNormal, false, 0.3f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.state << ", enabled " << c.enabled);
        button.setEnabled (c.enabled);
        button.setState (c.state);

        const auto image = paint ({});
        const auto disc = juce::Colours::black.withAlpha (c.alpha);

        EXPECT_TRUE (coloursNear (pixel (image, 25, 7), disc, 1));
        EXPECT_TRUE (coloursNear (pixel (image, 21, 12), disc, 1));
        EXPECT_EQ (pixel (image, 30, 12).getAlpha(), 0);    // where the bars cross
        EXPECT_EQ (pixel (image, 26, 12).getAlpha(), 0);    // the horizontal bar
        EXPECT_EQ (pixel (image, 30, 8).getAlpha(), 0);     // the vertical bar
        EXPECT_EQ (rendering::boundsWhere (image, rendering::isVisible), juce::Rectangle<int> (20, 2, 20, 20));
    }
}

TEST_F (KeyMappingButtons, DescriptionInARoundedBoxWhileEnabled)
{
    const struct { juce::Button::ButtonState state; bool enabled; int boxAlpha; } cases[] =
    {
        { juce::Button::buttonNormal, true,  25 },
        { juce::Button::buttonOver,   true,  51 },
        { juce::Button::buttonDown,   true,  102 },
        { juce::Button::buttonNormal, false, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.state << ", enabled " << c.enabled);
        button.setEnabled (c.enabled);
        button.setState (c.state);

        const auto image = paint ("F1");

        EXPECT_NEAR (pixel (image, 57, 3).getAlpha(), c.boxAlpha, 2);
        EXPECT_NEAR (pixel (image, 3, 20).getAlpha(), c.boxAlpha, 2);
        EXPECT_LE (pixel (image, 0, 0).getAlpha(), c.boxAlpha / 4);   // the rounded corner
        // The text: its strongest pixel is (near) opaque; how near depends on the platform's glyphs.
        EXPECT_GE (maxAlpha (image.getClippedImage ({ 20, 4, 20, 16 })), 240);
    }
}

TEST_F (KeyMappingButtons, ColourIsInheritedFromTheParents)
{
    parent.setColour (0x100ad01, juce::Colour (0xffff0000));

    const auto image = paint ({});
    EXPECT_TRUE (coloursNear (pixel (image, 25, 7), juce::Colour (0xffff0000).darker (0.1f).withAlpha (0.3f), 1));
}
