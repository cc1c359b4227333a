#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <optional>

// One page per click gesture: a click that comes within the system's double-click interval
// after the click that changed the page is the second click of a double click.
//
// A click with the mouse counts from the moment of its press (the event's own time, however
// late the message loop handles it); any other click, a key's for one, from the clock.
class DoubleClickGuard : private juce::MouseListener
{
public:
    // Takes the moments of the presses on this button.
    void watch (juce::Button& button);

    // Notes the moment of a click that has just come in, and answers whether it is the second
    // click of a double click.
    bool clickArrived();

    // The click that came in last has changed the page.
    void pageChanged();

    // The clock, in milliseconds (juce::Time::currentTimeMillis, the time base of mouse
    // events); a test may drive it for the life of the object.
    class ScopedClock
    {
    public:
        explicit ScopedClock (std::function<juce::int64()> replacement);
        ~ScopedClock();

        ScopedClock (const ScopedClock&) = delete;
        ScopedClock& operator= (const ScopedClock&) = delete;

    private:
        std::function<juce::int64()> previous;
    };

private:
    void mouseDown (const juce::MouseEvent& event) override;
    void mouseUp (const juce::MouseEvent& event) override;

    std::optional<juce::int64> pressedAt;   // between a watched button's press and release
    juce::int64 lastClickAt = 0;
    std::optional<juce::int64> pageChangedAt;
};
