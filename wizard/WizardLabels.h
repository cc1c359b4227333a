#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

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
}
