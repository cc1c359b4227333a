#include "platform/WindowRepaint.h"
#include "tests/support/MessageLoop.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace
{
    struct PaintCounter : juce::Component
    {
        int paints = 0;
        void paint (juce::Graphics& g) override
        {
            ++paints;
            g.fillAll (juce::Colours::white);
        }
    };
}

// A window on the desktop paints again each time it is asked to, also where the system
// gives no vertical blank (Wine).
TEST (WindowRepaint, AWindowPaintsEveryRepaintRequest)
{
    platform::keepWindowsRepainting();
    platform::keepWindowsRepainting(); // a second call changes nothing

    PaintCounter window;
    window.setSize (120, 80);
    window.addToDesktop (0);
    window.setVisible (true);

    ASSERT_TRUE (testing_support::runMessageLoopUntil ([&] { return window.paints > 0; }));

    for (int round = 0; round < 3; ++round)
    {
        const auto before = window.paints;
        window.repaint();
        EXPECT_TRUE (testing_support::runMessageLoopUntil ([&] { return window.paints > before; }, 5000))
            << "round " << round;
    }

    window.removeFromDesktop();
}
