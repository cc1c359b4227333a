#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{

// The installer's flat dark theme: grey surfaces, light grey text, near-black shadows
// and outlines, and an amber accent. Every method not overridden here is LookAndFeel_V2's,
// drawn in the colours of the table the constructor sets up.
class TsLookAndFeel : public LookAndFeel_V2
{
public:
    TsLookAndFeel();
    ~TsLookAndFeel() override;

    //==============================================================================
    // Scroll bars and progress bar (TsLookAndFeelScrollBars.cpp)
    void drawScrollbarButton (Graphics&, ScrollBar&, int width, int height, int buttonDirection,
                              bool isScrollbarVertical, bool isMouseOverButton, bool isButtonDown) override;

    void drawScrollbar (Graphics&, ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;

    int getDefaultScrollbarWidth() override;

    void drawProgressBar (Graphics&, ProgressBar&, int width, int height,
                          double progress, const String& textToShow) override;

    //==============================================================================
    // Shapes (TsLookAndFeel.cpp)
    Path getTickShape (float height) override;
    Path getCrossShape (float height) override;

    //==============================================================================
    // Buttons, tick boxes and text editors (TsLookAndFeelButtons.cpp)
    void drawButtonBackground (Graphics&, Button&, const Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;

    void drawToggleButton (Graphics&, ToggleButton&, bool isMouseOverButton, bool isButtonDown) override;

    void drawTextEditorOutline (Graphics&, int width, int height, TextEditor&) override;

    //==============================================================================
    // Trees (TsLookAndFeelPanels.cpp)
    void drawTreeviewPlusMinusBox (Graphics&, const Rectangle<float>& area,
                                   Colour backgroundColour, bool isOpen, bool isMouseOver) override;
    bool areLinesDrawnForTreeView (TreeView&) override;
    int getTreeViewIndentSize (TreeView&) override;

    //==============================================================================
    // Menus, combo boxes and sliders (TsLookAndFeelMenus.cpp)
    void drawPopupMenuBackground (Graphics&, int width, int height) override;
    void drawMenuBarBackground (Graphics&, int width, int height, bool isMouseOverBar, MenuBarComponent&) override;

    void drawComboBox (Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, ComboBox&) override;
    void positionComboBoxText (ComboBox&, Label&) override;

    void drawLinearSlider (Graphics&, int x, int y, int width, int height,
                           float sliderPos, float minSliderPos, float maxSliderPos,
                           const Slider::SliderStyle, Slider&) override;

    void drawLinearSliderBackground (Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     const Slider::SliderStyle, Slider&) override;

    //==============================================================================
    // Title-bar buttons (DocumentWindowButton.cpp)
    Button* createDocumentWindowButton (int buttonType) override;

    //==============================================================================
    // Tabs (TsLookAndFeelTabs.cpp)
    int getTabButtonSpaceAroundImage() override;
    int getTabButtonOverlap (int tabDepth) override;
    void drawTabButton (TabBarButton&, Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabAreaBehindFrontButton (TabbedButtonBar&, Graphics&, int w, int h) override;

    //==============================================================================
    // Property panels, concertina panels, table headers, resizer bars and key-mapping
    // buttons (TsLookAndFeelPanels.cpp)
    void drawPropertyPanelSectionHeader (Graphics&, const String& name, bool isOpen, int width, int height) override;
    void drawPropertyComponentBackground (Graphics&, int width, int height, PropertyComponent&) override;
    void drawPropertyComponentLabel (Graphics&, int width, int height, PropertyComponent&) override;

    void drawTableHeaderBackground (Graphics&, TableHeaderComponent&) override;

    void drawConcertinaPanelHeader (Graphics&, const Rectangle<int>& area, bool isMouseOver, bool isMouseDown,
                                    ConcertinaPanel&, Component& panel) override;

    void drawStretchableLayoutResizerBar (Graphics&, int w, int h, bool isVerticalBar,
                                          bool isMouseOver, bool isMouseDragging) override;

    void drawKeymapChangeButton (Graphics&, int width, int height, Button&, const String& keyDescription) override;

private:
    // Drawn by the property-panel section header; nothing assigns them, so they stay empty.
    Image sectionHeaderImage1, sectionHeaderImage2;

    Colour backgroundColour, textColour, frameColour, shadowColour;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TsLookAndFeel)
};

// The frame of a push button: a light 2-pixel frame (left out while pressed) under a
// dark 1-pixel line, both from the button's own colour.
void drawButtonOutline (Graphics&, const Path& outline, Colour base, bool isButtonDown);

} // namespace juce
