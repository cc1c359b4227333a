#pragma once

// JUCE's Windows windows collect repaint requests and paint them when the display's
// vertical blank comes. Wine does not implement that wait, so under Wine a window never
// repaints after its first paint. keepWindowsRepainting makes up for it there, by
// painting the pending areas of every window at the display's rate; on Windows itself
// and on other systems it does nothing.
namespace platform
{
    // Call on the message thread once the message manager exists; later calls do nothing.
    void keepWindowsRepainting();

    // Whether the program runs under Wine (always false outside Windows builds).
    bool isRunningUnderWine();
}
