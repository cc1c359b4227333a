#include "platform/WindowRepaint.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include "platform/win32/WindowsHeaders.h"

namespace platform
{
    namespace
    {
        // Paints what each window has been asked to repaint, as the vertical blank would.
        class PendingRepaintPainter final : private juce::Timer,
                                            public juce::DeletedAtShutdown
        {
        public:
            PendingRepaintPainter() { startTimerHz (60); }
            ~PendingRepaintPainter() override { stopTimer(); }

        private:
            void timerCallback() override
            {
                // Painting may close a window, so the count is read anew each time round.
                for (int i = 0; i < juce::ComponentPeer::getNumPeers(); ++i)
                    if (auto* peer = juce::ComponentPeer::getPeer (i))
                        peer->performAnyPendingRepaintsNow();
            }
        };
    }

    bool isRunningUnderWine()
    {
        // Wine's ntdll exports its version; Windows's does not.
        if (auto ntdll = GetModuleHandleW (L"ntdll.dll"))
            return GetProcAddress (ntdll, "wine_get_version") != nullptr;

        return false;
    }

    void keepWindowsRepainting()
    {
        JUCE_ASSERT_MESSAGE_THREAD

        static bool started = false;

        if (started || ! isRunningUnderWine())
            return;

        started = true;
        new PendingRepaintPainter(); // deleted with JUCE's other DeletedAtShutdown objects
    }
}
