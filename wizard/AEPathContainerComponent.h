#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

// The folder page's list: a stack of tick boxes, each optionally followed by a detail line.
class AEPathContainerComponent : public juce::Component, public juce::Button::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // index counts tick boxes, in the order they were added; ticked is the state after the click
        virtual void selectionChanged (size_t index, bool ticked) = 0;
    };

    AEPathContainerComponent();
    ~AEPathContainerComponent() override;

    void addItem (const juce::String& text, bool ticked, const juce::String& detail);
    void clear();

    void resized() override;
    void buttonClicked (juce::Button* button) override;

    Listener* listener = nullptr;

    const std::vector<std::shared_ptr<juce::ToggleButton>>& getToggles() const { return toggles; }
    const std::vector<std::shared_ptr<juce::Component>>& getRows() const { return rows; }

private:
    std::vector<std::shared_ptr<juce::ToggleButton>> toggles;
    std::vector<std::shared_ptr<juce::Component>> rows;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AEPathContainerComponent)
};
