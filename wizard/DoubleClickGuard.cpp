#include "wizard/DoubleClickGuard.h"

#include <utility>

namespace
{
    std::function<juce::uint32()>& currentClock()
    {
        static std::function<juce::uint32()> current = [] { return juce::Time::getMillisecondCounter(); };
        return current;
    }
}

bool DoubleClickGuard::clickArrived()
{
    lastClickAt = currentClock()();

    // Unsigned, so that the counter's wrap-around leaves the difference right.
    const juce::uint32 elapsed = lastClickAt - pageChangedAt;
    return pageHasChanged && elapsed < (juce::uint32) juce::jmax (0, juce::MouseEvent::getDoubleClickTimeout());
}

void DoubleClickGuard::pageChanged()
{
    // From the click, not from the end of its handling: a click after a message box that
    // the first click opened is a click of its own.
    pageHasChanged = true;
    pageChangedAt = lastClickAt;
}

DoubleClickGuard::ScopedClock::ScopedClock (std::function<juce::uint32()> replacement)
    : previous (std::exchange (currentClock(), std::move (replacement)))
{
}

DoubleClickGuard::ScopedClock::~ScopedClock()
{
    currentClock() = std::move (previous);
}
