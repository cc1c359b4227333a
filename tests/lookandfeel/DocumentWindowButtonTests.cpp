#include "lookandfeel/DocumentWindowButton.h"
#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;
using rendering::pixel;
using rendering::render;

namespace
{
    struct TitleBarButtons : ::testing::Test
    {
        juce::TsLookAndFeel lookAndFeel;

        std::unique_ptr<CustomLookAndFeel_DocumentWindowButton> make (int type)
        {
            auto* button = lookAndFeel.createDocumentWindowButton (type);
            auto* custom = dynamic_cast<CustomLookAndFeel_DocumentWindowButton*> (button);

            if (custom == nullptr)
                delete button;

            return std::unique_ptr<CustomLookAndFeel_DocumentWindowButton> (custom);
        }

        static juce::Image paint (CustomLookAndFeel_DocumentWindowButton& button, bool over, bool down,
                                  juce::Colour underlay = juce::Colours::transparentBlack)
        {
            if (button.getWidth() == 0)
                button.setSize (24, 20);

            return render (button.getWidth(), button.getHeight(),
                           [&] (juce::Graphics& g) { button.paintButton (g, over, down); }, underlay);
        }

        // The length along the centre row that the disc and its ring cover left of x 8.
        static float coveredLengthLeftOfTheGlyph (const juce::Image& image)
        {
            float sum = 0;

            for (int x = 0; x < 8; ++x)
                sum += (float) pixel (image, x, 10).getAlpha() / 255.0f;

            return sum;
        }
    };

    bool closerTo (juce::Colour c, juce::Colour a, juce::Colour b)
    {
        const auto distance = [] (juce::Colour p, juce::Colour q)
        {
            return std::abs ((int) p.getRed() - (int) q.getRed()) + std::abs ((int) p.getGreen() - (int) q.getGreen())
                 + std::abs ((int) p.getBlue() - (int) q.getBlue());
        };

        return distance (c, a) < distance (c, b);
    }

    const juce::Colour grey (0xff808080);
}

TEST_F (TitleBarButtons, CloseMinimiseAndMaximiseOnly)
{
    const struct { int type; const char* name; } cases[] =
    {
        { juce::DocumentWindow::closeButton,    "close" },
        { juce::DocumentWindow::minimiseButton, "minimise" },
        { juce::DocumentWindow::maximiseButton, "maximise" },
    };

    for (const auto& c : cases)
    {
        const auto button = make (c.type);
        ASSERT_NE (button, nullptr) << c.name;
        EXPECT_EQ (button->getName(), c.name);
        EXPECT_EQ (button->getButtonText(), c.name);
    }

    for (auto type : { 3, 0, 8, -1, 7 })
        EXPECT_EQ (std::unique_ptr<juce::Button> (lookAndFeel.createDocumentWindowButton (type)), nullptr) << type;
}

TEST_F (TitleBarButtons, ADocumentWindowDrawingItsOwnTitleBarGetsThem)
{
    juce::DocumentWindow window ("Window", juce::Colours::lightgrey,
                                 juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, false);
    window.setLookAndFeel (&lookAndFeel);

    EXPECT_NE (dynamic_cast<CustomLookAndFeel_DocumentWindowButton*> (window.getCloseButton()), nullptr);
    EXPECT_NE (dynamic_cast<CustomLookAndFeel_DocumentWindowButton*> (window.getMinimiseButton()), nullptr);
    EXPECT_EQ (window.getMaximiseButton(), nullptr);

    window.setLookAndFeel (nullptr);
}

TEST_F (TitleBarButtons, DiscAndRingShrinkWhilePressed)
{
    const auto button = make (juce::DocumentWindow::closeButton);
    const auto glyph = grey.contrasting (juce::Colour (0xffdd1100), 0.6f);

    // 24 x 20: centre (12, 10), r = 6.5, ring 1.3 wide from radius 5.85 to 7.15.
    const auto idle = paint (*button, false, false);
    EXPECT_TRUE (coloursNear (pixel (idle, 5, 10), glyph, 1));
    EXPECT_TRUE (coloursNear (pixel (idle, 12, 3), glyph, 1));
    EXPECT_EQ (pixel (idle, 7, 10), grey);
    EXPECT_EQ (pixel (idle, 3, 10).getAlpha(), 0);
    EXPECT_EQ (pixel (idle, 12, 1).getAlpha(), 0);
    EXPECT_NEAR (coveredLengthLeftOfTheGlyph (idle), std::sqrt (7.15f * 7.15f - 0.25f) - 4.0f, 0.1f);

    // Pressed: r = 6, ring 1.2 wide from radius 5.4 to 6.6.
    const auto pressed = paint (*button, false, true);
    EXPECT_EQ (pixel (pressed, 4, 10).getAlpha(), 0);
    EXPECT_LT (pixel (pressed, 5, 10).getAlpha(), 0xd0);
    EXPECT_NEAR (coveredLengthLeftOfTheGlyph (pressed), std::sqrt (6.6f * 6.6f - 0.25f) - 4.0f, 0.1f);
}

TEST_F (TitleBarButtons, DiscTakesTheEnclosingWindowsBackground)
{
    const auto button = make (juce::DocumentWindow::minimiseButton);
    button->setSize (24, 20);

    EXPECT_EQ (pixel (paint (*button, false, false), 7, 10), grey);

    const juce::Colour background (0xff204060);
    juce::ResizableWindow window ("Window", background, false);
    juce::Component content;
    window.setContentNonOwned (&content, false);
    content.addAndMakeVisible (*button);

    const auto image = paint (*button, false, false);
    EXPECT_EQ (pixel (image, 7, 10), background);
    EXPECT_TRUE (coloursNear (pixel (image, 5, 10), background.contrasting (juce::Colour (0xffaa8811), 0.6f), 1));

    content.removeChildComponent (button.get());
}

TEST_F (TitleBarButtons, DisabledIsFaintAndHoveredIsBrighter)
{
    const auto button = make (juce::DocumentWindow::closeButton);
    const auto glyph = grey.contrasting (juce::Colour (0xffdd1100), 0.6f);

    EXPECT_TRUE (coloursNear (pixel (paint (*button, true, false, grey), 5, 10), glyph.brighter (0.4f), 1));

    button->setEnabled (false);
    for (auto over : { false, true })
        EXPECT_TRUE (coloursNear (pixel (paint (*button, over, false, grey), 5, 10), grey.overlaidWith (glyph.withAlpha (0.6f)), 2)) << over;
}

TEST_F (TitleBarButtons, OnlyTheMaximiseButtonChangesItsGlyphWhenToggled)
{
    for (auto type : { juce::DocumentWindow::closeButton, juce::DocumentWindow::minimiseButton })
    {
        const auto button = make (type);
        const auto normal = paint (*button, false, false);
        button->setToggleState (true, juce::dontSendNotification);
        const auto toggled = paint (*button, false, false);

        EXPECT_TRUE (rendering::sameImages (toggled, normal)) << type;
    }

    // The plus leaves the corners of the glyph square empty; the two squares fill them.
    const auto maximise = make (juce::DocumentWindow::maximiseButton);
    const auto glyph = grey.contrasting (juce::Colour (0xff119911), 0.6f);

    EXPECT_EQ (pixel (paint (*maximise, false, false), 9, 7), grey);
    EXPECT_TRUE (closerTo (pixel (paint (*maximise, false, false), 12, 10), glyph, grey));

    maximise->setToggleState (true, juce::dontSendNotification);
    const auto toggled = paint (*maximise, false, false);
    EXPECT_TRUE (closerTo (pixel (toggled, 9, 7), glyph, grey));
    EXPECT_TRUE (closerTo (pixel (toggled, 14, 12), glyph, grey));
}

TEST_F (TitleBarButtons, MinimiseBarStaysAThinBarAcrossTheMiddle)
{
    // Fitted into the glyph square (8.425, 6.425, 7.15, 7.15): 7.15 wide, 1.79 high, around y 10.
    const auto button = make (juce::DocumentWindow::minimiseButton);
    const auto image = paint (*button, false, false);
    const auto glyph = grey.contrasting (juce::Colour (0xffaa8811), 0.6f);

    for (int x = 9; x < 15; ++x)
    {
        EXPECT_TRUE (closerTo (pixel (image, x, 9), glyph, grey)) << x;
        EXPECT_TRUE (closerTo (pixel (image, x, 10), glyph, grey)) << x;
        EXPECT_EQ (pixel (image, x, 8), grey) << x;
        EXPECT_EQ (pixel (image, x, 11), grey) << x;
    }

    EXPECT_EQ (pixel (image, 7, 10), grey);
    EXPECT_EQ (pixel (image, 16, 10), grey);
}
