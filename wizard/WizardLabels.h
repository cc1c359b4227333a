#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>

namespace wizard
{
    // A page's label: fixed component name, plain font of the given height, fixed
    // justification, not editable.
    inline std::unique_ptr<juce::Label> makeLabel (const juce::String& text, float fontHeight,
                                                   juce::Justification justification)
    {
        auto label = std::make_unique<juce::Label> ("new label", text);
        label->setFont (juce::Font (fontHeight, juce::Font::plain));
        label->setJustificationType (justification);
        label->setEditable (false, false, false);
        return label;
    }

    // The height at which a label of this width shows the whole of its text, laid out as the
    // look-and-feel draws a text with line breaks: wrapped at the width, line below line.
    inline int heightForWholeText (juce::Label& label, int width)
    {
        auto& lookAndFeel = label.getLookAndFeel();
        const auto border = lookAndFeel.getLabelBorderSize (label);

        juce::GlyphArrangement glyphs;
        glyphs.addJustifiedText (lookAndFeel.getLabelFont (label), label.getText(), 0.0f, 0.0f,
                                 (float) (width - border.getLeftAndRight()), label.getJustificationType());

        return border.getTopAndBottom() + (int) std::ceil (glyphs.getBoundingBox (0, -1, false).getHeight());
    }
}
