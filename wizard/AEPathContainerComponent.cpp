#include "wizard/AEPathContainerComponent.h"

namespace
{
    constexpr int rowHeight = 22;
    constexpr int blankBelowRows = 44;
}

AEPathContainerComponent::AEPathContainerComponent()
{
    setSize (600, 400);
}

AEPathContainerComponent::~AEPathContainerComponent()
{
    rows.clear();
    toggles.clear();
}

void AEPathContainerComponent::addItem (const juce::String& text, bool ticked, const juce::String& detail)
{
    auto toggle = std::make_shared<juce::ToggleButton> (text);
    toggle->setName (text);
    toggle->setToggleState (ticked, juce::dontSendNotification);
    toggle->addListener (this);
    addAndMakeVisible (toggle.get());
    rows.push_back (toggle);
    toggles.push_back (toggle);

    if (detail.isNotEmpty())
    {
        auto label = std::make_shared<juce::Label> (juce::String(), detail);
        label->setFont (juce::Font (11.0f, juce::Font::plain));
        label->setJustificationType (juce::Justification::verticallyCentred);
        addAndMakeVisible (label.get());
        rows.push_back (label);
    }

    resized();
}

void AEPathContainerComponent::clear()
{
    for (auto& row : rows)
        removeChildComponent (row.get());

    rows.clear();
    toggles.clear();
    resized();
}

void AEPathContainerComponent::resized()
{
    int y = 0;

    for (auto& row : rows)
    {
        row->setBounds (0, y, getWidth(), rowHeight);
        y += row->getHeight();
    }

    setBounds (getBounds().withHeight (y + blankBelowRows));
}

void AEPathContainerComponent::buttonClicked (juce::Button* button)
{
    if (listener == nullptr)
        return;

    for (size_t i = 0; i < toggles.size(); ++i)
    {
        if (toggles[i].get() == button)
        {
            listener->selectionChanged (i, button->getToggleState());
            return;
        }
    }
}
