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

void DoubleClickGuard::pageChanged()
{
    pageHasChanged = true;
    pageChangedAt = currentClock()();
}

bool DoubleClickGuard::isSecondClick() const
{
    // Unsigned, so that the counter's wrap-around leaves the difference right.
    const juce::uint32 elapsed = currentClock()() - pageChangedAt;
    return pageHasChanged && elapsed < (juce::uint32) juce::jmax (0, juce::MouseEvent::getDoubleClickTimeout());
}

DoubleClickGuard::ScopedClock::ScopedClock (std::function<juce::uint32()> replacement)
    : previous (std::exchange (currentClock(), std::move (replacement)))
{
}

DoubleClickGuard::ScopedClock::~ScopedClock()
{
    currentClock() = std::move (previous);
}
