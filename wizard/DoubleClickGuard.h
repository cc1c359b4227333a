#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// One page per click gesture: a forward click that comes within the system's double-click
// interval after a page change is the second click of a double click, and is dropped.
class DoubleClickGuard
{
public:
    // Notes that the page has just changed.
    void pageChanged();

    // Whether a click now falls within the double-click interval after the last page change.
    bool isSecondClick() const;

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
    bool pageHasChanged = false;
    juce::uint32 pageChangedAt = 0;
};
