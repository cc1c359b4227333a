#include "lookandfeel/TsLookAndFeel.h"

#include "lookandfeel/Palette.h"

namespace juce
{

namespace
{
    // Serialised paths (Path::loadPathFromData), each followed by two zero bytes.
    const unsigned char tickShapeData[] =
    {
        110, 109, 32, 210, 202, 64, 126, 183, 148, 64, 108, 39, 244, 247, 64, 245, 76, 124, 64, 108, 178,
        131, 27, 65, 246, 76, 252, 64, 108, 175, 242, 4, 65, 246, 76, 252, 64, 108, 236, 5, 68, 65, 176, 15,
        161, 180, 108, 240, 150, 90, 65, 21, 136, 52, 63, 108, 48, 59, 16, 65, 0, 0, 32, 65, 108, 32, 210,
        202, 64, 126, 183, 148, 64, 99, 101, 0, 0
    };

    const unsigned char crossShapeData[] =
    {
        110, 109, 88, 57, 198, 65, 29, 90, 171, 65, 108, 63, 53, 154, 65, 8, 172, 126, 65, 108, 76, 55, 198,
        65, 215, 163, 38, 65, 108, 141, 151, 175, 65, 82, 184, 242, 64, 108, 117, 147, 131, 65, 90, 100, 81,
        65, 108, 184, 30, 47, 65, 82, 184, 242, 64, 108, 59, 223, 1, 65, 215, 163, 38, 65, 108, 84, 227, 89,
        65, 8, 172, 126, 65, 108, 35, 219, 1, 65, 29, 90, 171, 65, 108, 209, 34, 47, 65, 231, 251, 193, 65,
        108, 117, 147, 131, 65, 207, 247, 149, 65, 108, 129, 149, 175, 65, 231, 251, 193, 65, 99, 101, 0, 0
    };

    static_assert (sizeof (tickShapeData) == 77 && sizeof (crossShapeData) == 113, "shape data sizes");

    // A stored shape, centred in a box twice as wide as the given height.
    Path loadShapeScaledToHeight (const unsigned char* data, size_t numBytes, float height)
    {
        Path p;
        p.loadPathFromData (data, numBytes);
        p.scaleToFit (0.0f, 0.0f, height * 2.0f, height, true);
        return p;
    }
}

TsLookAndFeel::TsLookAndFeel()
    : backgroundColour (Palette::getBackgroundColour()),
      textColour (Palette::getTextColour()),
      frameColour (Palette::getFrameColour()),
      shadowColour (Palette::getShadowColour())
{
    const auto accent = Palette::getAccentColour();

    const struct { int colourId; Colour colour; } colourTable[] =
    {
        { TextButton::buttonColourId,                       backgroundColour },
        { TextButton::buttonOnColourId,                     shadowColour },
        { TextButton::textColourOnId,                       textColour },
        { TextButton::textColourOffId,                      textColour },
        { ToggleButton::textColourId,                       textColour },
        { TextEditor::focusedOutlineColourId,               Colours::transparentBlack },
        { TextEditor::outlineColourId,                      shadowColour },
        { TextEditor::highlightColourId,                    textColour },
        { TextEditor::highlightedTextColourId,              frameColour },
        { TextEditor::textColourId,                         textColour },
        { TabbedButtonBar::tabOutlineColourId,              frameColour },
        { TabbedComponent::outlineColourId,                 frameColour },
        { TabbedButtonBar::frontTextColourId,               Colours::black },
        { TabbedButtonBar::tabTextColourId,                 Colours::black },
        { Slider::trackColourId,                            Colours::white.withAlpha ((uint8) 0xbb) },
        { Slider::textBoxTextColourId,                      accent },
        { BubbleComponent::backgroundColourId,              Colour (0xeeeeeedd) },
        { PopupMenu::backgroundColourId,                    backgroundColour },
        { PopupMenu::textColourId,                          textColour },
        { PopupMenu::headerTextColourId,                    textColour },
        { PopupMenu::highlightedTextColourId,               Colours::white },
        { PopupMenu::highlightedBackgroundColourId,         frameColour },
        { ComboBox::buttonColourId,                         backgroundColour },
        { ComboBox::outlineColourId,                        frameColour },
        { ComboBox::textColourId,                           textColour },
        { ComboBox::backgroundColourId,                     backgroundColour },
        { ComboBox::arrowColourId,                          textColour },
        { TreeView::linesColourId,                          shadowColour },
        { TreeView::backgroundColourId,                     backgroundColour },
        { TreeView::dragAndDropIndicatorColourId,           Colours::red.withAlpha ((uint8) 0x80) },
        { TreeView::selectedItemBackgroundColourId,         Colours::transparentBlack },
        { Label::backgroundColourId,                        Colours::transparentBlack },
        { Label::textColourId,                              textColour },
        { Label::outlineColourId,                           Colours::transparentBlack },
        { ProgressBar::foregroundColourId,                  accent },
        { ProgressBar::backgroundColourId,                  shadowColour },
        { ScrollBar::thumbColourId,                         backgroundColour },
    };

    for (const auto& entry : colourTable)
        setColour (entry.colourId, entry.colour);
}

TsLookAndFeel::~TsLookAndFeel() = default;

Path TsLookAndFeel::getTickShape (float height)
{
    return loadShapeScaledToHeight (tickShapeData, sizeof (tickShapeData), height);
}

Path TsLookAndFeel::getCrossShape (float height)
{
    return loadShapeScaledToHeight (crossShapeData, sizeof (crossShapeData), height);
}

} // namespace juce
