#pragma once

// JUCE's X11 code reads the window events when the X connection's socket has data. Xlib
// also reads that socket whenever a request waits for its reply (a repaint's sync, a
// pointer query), and keeps the events that came in meanwhile in a queue of its own, which
// JUCE then leaves alone until more data arrives. An event that came that way, such as the
// window manager's close request, waited for the next event: with no mouse moving, for
// ever. keepWindowEventsFlowing hands those events to JUCE at a steady rate; on Windows it
// does nothing.
namespace platform
{
    // Call on the message thread once the message manager exists; later calls do nothing.
    void keepWindowEventsFlowing();
}
