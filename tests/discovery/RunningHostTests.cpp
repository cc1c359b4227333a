#include "discovery/AfterEffectsDiscovery.h"
#include "platform/ProcessList.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace
{
    // Once the process has run exec, the list shows its name.
    bool waitUntilListed (const std::string& name)
    {
        for (int i = 0; i < 1000; ++i)
        {
            const auto names = platform::getRunningProcessNames();
            if (std::find (names.begin(), names.end(), name) != names.end())
                return true;
            juce::Thread::sleep (10);
        }
        return false;
    }
}

TEST (RunningHost, AProcessNamedAfterFxExeInAnyLetterCaseCounts)
{
    TemporaryFolder temp;
    ASSERT_FALSE (isAfterEffectsRunning()) << "After Effects runs on this machine already";

    {
        RunningProgram host (temp.folder, "afterfx.EXE");
        ASSERT_TRUE (host.started());
        ASSERT_TRUE (waitUntilListed ("afterfx.EXE"));
        EXPECT_TRUE (isAfterEffectsRunning());
    }

    EXPECT_FALSE (isAfterEffectsRunning());
}

TEST (RunningHost, NamesThatOnlyBeginOrEndLikeItDoNotCount)
{
    TemporaryFolder temp;

    for (const std::string name : { "AfterFX.exe.old", "AfterFX", "xAfterFX.exe", "AfterFX.ex" })
    {
        SCOPED_TRACE (name);
        RunningProgram other (temp.folder, name);
        ASSERT_TRUE (other.started());
        ASSERT_TRUE (waitUntilListed (name));
        EXPECT_FALSE (isAfterEffectsRunning());
    }
}
