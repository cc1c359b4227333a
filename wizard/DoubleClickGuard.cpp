#include "wizard/DoubleClickGuard.h"

#include <utility>

namespace
{
    std::function<juce::int64()>& currentClock()
    {
        static std::function<juce::int64()> current = [] { return juce::Time::currentTimeMillis(); };
        return current;
    }
}

void DoubleClickGuard::watch (juce::Button& button)
{
    button.addMouseListener (this, false);
}

bool DoubleClickGuard::clickArrived()
{
    // A button clicks on its release, which reaches its listeners before this one's mouseUp.
    lastClickAt = pressedAt ? *pressedAt : currentClock()();

    if (! pageChangedAt)
        return false;

    // A clock set back makes the difference negative: that is no double click.
    const auto elapsed = lastClickAt - *pageChangedAt;
    return elapsed >= 0 && elapsed < juce::MouseEvent::getDoubleClickTimeout();
}

void DoubleClickGuard::pageChanged()
{
    // From the click, not from the end of its handling: a click after a message box that
    // the first click opened is a click of its own.
    pageChangedAt = lastClickAt;
}

void DoubleClickGuard::mouseDown (const juce::MouseEvent& event)
{
    pressedAt = event.eventTime.toMilliseconds();
}

void DoubleClickGuard::mouseUp (const juce::MouseEvent&)
{
    pressedAt.reset();
}

DoubleClickGuard::ScopedClock::ScopedClock (std::function<juce::int64()> replacement)
    : previous (std::exchange (currentClock(), std::move (replacement)))
{
}

DoubleClickGuard::ScopedClock::~ScopedClock()
{
    currentClock() = std::move (previous);
}
