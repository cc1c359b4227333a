#include "lookandfeel/Palette.h"
#include "tests/lookandfeel/Rendering.h"

using rendering::coloursNear;

namespace
{
    struct GradientEnds
    {
        juce::uint32 topColour;
        float topY;
        juce::uint32 bottomColour;
        float bottomY;
    };

    // The colour at each end of a vertical gradient, whichever point it was built from.
    void expectVerticalGradient (const juce::ColourGradient& gradient, const GradientEnds& expected)
    {
        EXPECT_FALSE (gradient.isRadial);
        EXPECT_EQ (gradient.point1.x, 0.0f);
        EXPECT_EQ (gradient.point2.x, 0.0f);

        const auto firstIsTop = gradient.point1.y <= gradient.point2.y;
        const auto top = firstIsTop ? gradient.point1 : gradient.point2;
        const auto bottom = firstIsTop ? gradient.point2 : gradient.point1;
        const auto topColour = gradient.getColourAtPosition (firstIsTop ? 0.0 : 1.0);
        const auto bottomColour = gradient.getColourAtPosition (firstIsTop ? 1.0 : 0.0);

        EXPECT_FLOAT_EQ (top.y, expected.topY);
        EXPECT_FLOAT_EQ (bottom.y, expected.bottomY);
        EXPECT_TRUE (coloursNear (topColour, juce::Colour (expected.topColour)));
        EXPECT_TRUE (coloursNear (bottomColour, juce::Colour (expected.bottomColour)));
    }
}

TEST (Palette, FixedColours)
{
    const struct { juce::Colour (*function)(); juce::uint32 argb; } cases[] =
    {
        { Palette::getBackgroundColour,      0xff3f3f3f },
        { Palette::getDarkBackgroundColour,  0xff2f2f2f },
        { Palette::getTextColour,            0xffbcbcbc },
        { Palette::getFrameColour,           0xff4e4e4e },
        { Palette::getShadowColour,          0xff141414 },
        { Palette::getAccentColour,          0xffcf9f21 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.function().getARGB(), c.argb);
}

TEST (Palette, ScrollbarThumbColourBrightensUnderTheMouseAndDarkensWhilePressed)
{
    const struct { bool over, down; juce::uint32 argb; } cases[] =
    {
        { false, false, 0xff3f3f3f },
        { true,  false, 0xff505050 },
        { false, true,  0xff393939 },
        { true,  true,  0xff484848 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Palette::getScrollbarThumbColour (c.over, c.down).getARGB(), c.argb) << c.over << c.down;
}

TEST (Palette, GradientsRunVerticallyOverTheArea)
{
    const juce::Rectangle<int> area (0, 10, 50, 20);

    expectVerticalGradient (Palette::getBackgroundGradient (area, false),     { 0xff505050, 10.0f, 0xff3c3c3c, 30.0f });
    expectVerticalGradient (Palette::getBackgroundGradient (area, true),      { 0xff585858, 10.0f, 0xff3c3c3c, 30.0f });
    expectVerticalGradient (Palette::getDarkBackgroundGradient (area, false), { 0xff383838, 10.0f, 0xff2f2f2f, 30.0f });
    expectVerticalGradient (Palette::getDarkBackgroundGradient (area, true),  { 0xff4a4a4a, 10.0f, 0xff2f2f2f, 30.0f });

    // The dark gradient is built from the bottom up.
    const auto dark = Palette::getDarkBackgroundGradient (area, false);
    EXPECT_FLOAT_EQ (dark.point1.y, 30.0f);
    EXPECT_EQ (dark.getColourAtPosition (0.0).getARGB(), 0xff2f2f2fu);
}

TEST (Palette, ButtonGradientIsFlatWhilePressed)
{
    const juce::Colour base (0xff3f3f3f);
    const juce::Rectangle<int> area (5, 0, 80, 24);

    const struct { bool over, down; GradientEnds ends; } cases[] =
    {
        { false, false, { 0xff5f5f5f, 0.0f, 0xff484848, 24.0f } },
        { true,  false, { 0xff676767, 0.0f, 0xff505050, 24.0f } },
        { false, true,  { 0xff282828, 0.0f, 0xff282828, 24.0f } },
        { true,  true,  { 0xff2c2c2c, 0.0f, 0xff2c2c2c, 24.0f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "over " << c.over << ", down " << c.down);
        expectVerticalGradient (Palette::getButtonGradient (base, area, c.over, c.down), c.ends);
    }
}

//==============================================================================
TEST (TsLookAndFeelColourTable, HoldsTheThemeColours)
{
    juce::TsLookAndFeel lookAndFeel;

    // Raw ids, so that a JUCE constant that moved would show too.
    const struct { int id; juce::uint32 argb; } table[] =
    {
        { 0x1000100, 0xff3f3f3f }, { 0x1000101, 0xff141414 }, { 0x1000103, 0xffbcbcbc }, { 0x1000102, 0xffbcbcbc },
        { 0x1006501, 0xffbcbcbc }, { 0x1000206, 0x00000000 }, { 0x1000205, 0xff141414 }, { 0x1000202, 0xffbcbcbc },
        { 0x1000203, 0xff4e4e4e }, { 0x1000201, 0xffbcbcbc }, { 0x1005812, 0xff4e4e4e }, { 0x1005801, 0xff4e4e4e },
        { 0x1005815, 0xff000000 }, { 0x1005813, 0xff000000 }, { 0x1001310, 0xbbffffff }, { 0x1001400, 0xffcf9f21 },
        { 0x1000af0, 0xeeeeeedd }, { 0x1000700, 0xff3f3f3f }, { 0x1000600, 0xffbcbcbc }, { 0x1000601, 0xffbcbcbc },
        { 0x1000800, 0xffffffff }, { 0x1000900, 0xff4e4e4e }, { 0x1000d00, 0xff3f3f3f }, { 0x1000c00, 0xff4e4e4e },
        { 0x1000a00, 0xffbcbcbc }, { 0x1000b00, 0xff3f3f3f }, { 0x1000e00, 0xffbcbcbc }, { 0x1000501, 0xff141414 },
        { 0x1000500, 0xff3f3f3f }, { 0x1000502, 0x80ff0000 }, { 0x1000503, 0x00000000 }, { 0x1000280, 0x00000000 },
        { 0x1000281, 0xffbcbcbc }, { 0x1000282, 0x00000000 }, { 0x1001a00, 0xffcf9f21 }, { 0x1001900, 0xff141414 },
        { 0x1000400, 0xff3f3f3f },
    };

    for (const auto& entry : table)
    {
        EXPECT_TRUE (lookAndFeel.isColourSpecified (entry.id)) << std::hex << entry.id;
        EXPECT_EQ (lookAndFeel.findColour (entry.id).getARGB(), entry.argb) << std::hex << entry.id;
    }
}

TEST (TsLookAndFeelColourTable, LeavesOtherColoursAtTheBaseClassValues)
{
    juce::TsLookAndFeel lookAndFeel;
    juce::LookAndFeel_V2 base;

    for (auto id : { (int) juce::TextEditor::backgroundColourId, (int) juce::Slider::backgroundColourId,
                     (int) juce::Slider::thumbColourId, 0x100ad01 /* key-mapping text */ })
        EXPECT_EQ (lookAndFeel.findColour (id), base.findColour (id)) << std::hex << id;
}

TEST (TsLookAndFeelColourTable, ComponentsFindTheTableUnlessTheySetTheirOwn)
{
    juce::TsLookAndFeel lookAndFeel;

    juce::TextButton button;
    juce::Label label;
    double progress = 0.0;
    juce::ProgressBar bar (progress);

    for (juce::Component* c : std::initializer_list<juce::Component*> { &button, &label, &bar })
        c->setLookAndFeel (&lookAndFeel);

    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId).getARGB(), 0xff3f3f3fu);
    EXPECT_EQ (label.findColour (juce::Label::textColourId).getARGB(), 0xffbcbcbcu);
    EXPECT_EQ (label.findColour (juce::Label::backgroundColourId).getARGB(), 0x00000000u);
    EXPECT_EQ (bar.findColour (juce::ProgressBar::foregroundColourId).getARGB(), 0xffcf9f21u);
    EXPECT_EQ (bar.findColour (juce::ProgressBar::backgroundColourId).getARGB(), 0xff141414u);

    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff123456));
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId).getARGB(), 0xff123456u);
    EXPECT_EQ (lookAndFeel.findColour (juce::TextButton::buttonColourId).getARGB(), 0xff3f3f3fu);

    for (juce::Component* c : std::initializer_list<juce::Component*> { &button, &label, &bar })
        c->setLookAndFeel (nullptr);
}
