#include "wizard/NavigationController.h"

NavigationController::NavigationController() = default;

NavigationController::~NavigationController()
{
    currentPage.reset();
    pages.clear();
}

void NavigationController::addStep (std::shared_ptr<juce::Component> page)
{
    pages.push_back (std::move (page));

    if (currentPage == nullptr)
        goToStep (0);
}

void NavigationController::goToStep (int index)
{
    if (static_cast<size_t> (static_cast<unsigned int> (index)) >= pages.size() || pages[static_cast<size_t> (index)] == nullptr)
        return;

    currentPage = pages[static_cast<size_t> (index)];
    currentIndex = index;

    for (int i = getNumChildComponents(); --i >= 0;)
        removeChildComponent (i); // tells both the parent and the child

    addAndMakeVisible (currentPage.get(), -1);
    resized();
}

void NavigationController::resized()
{
    if (currentPage != nullptr)
        currentPage->setBounds (0, 0, getWidth(), getHeight());
}
