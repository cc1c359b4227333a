#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

// Holds the wizard's pages in order and shows exactly one of them.
class NavigationController : public juce::Component
{
public:
    NavigationController();
    ~NavigationController() override;

    void addStep (std::shared_ptr<juce::Component> page);
    void goToStep (int index);

    void resized() override;

    int currentIndex = 0;

private:
    std::shared_ptr<juce::Component> currentPage;
    std::vector<std::shared_ptr<juce::Component>> pages;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NavigationController)
};
