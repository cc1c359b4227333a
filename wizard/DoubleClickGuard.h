#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// One page per click gesture: a click that comes within the system's double-click interval
// after the click that changed the page is the second click of a double click.
class DoubleClickGuard
{
public:
    // Notes the time of a click that has just come in, and answers whether it is the second
    // click of a double click.
    bool clickArrived();

    // The click that came in last has changed the page.
    void pageChanged();

    // The clock that every guard reads, in milliseconds (juce::Time::getMillisecondCounter);
    // a test may drive it for the life of the object.
    class ScopedClock
    {
    public:
        explicit ScopedClock (std::function<juce::uint32()> replacement);
        ~ScopedClock();

        ScopedClock (const ScopedClock&) = delete;
        ScopedClock& operator= (const ScopedClock&) = delete;

    private:
        std::function<juce::uint32()> previous;
    };

private:
    juce::uint32 lastClickAt = 0;
    bool pageHasChanged = false;
    juce::uint32 pageChangedAt = 0;
};
