#include "discovery/AfterEffectsDiscovery.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

using namespace testing_support;

// One test: the check looks at every process of the machine, so the cases must not run
// beside each other.
TEST (RunningHost, CountsAProcessNamedAfterFxExeInAnyLetterCaseAndNoOther)
{
    TemporaryFolder temp;
    ASSERT_FALSE (isAfterEffectsRunning()) << "After Effects runs on this machine already";

    for (const std::string name : { "AfterFX.exe.old", "AfterFX", "xAfterFX.exe", "AfterFX.ex" })
    {
        SCOPED_TRACE (name);
        RunningProgram other (temp.folder, name);
        ASSERT_TRUE (other.started());
        ASSERT_TRUE (other.waitUntilListed());
        EXPECT_FALSE (isAfterEffectsRunning());
    }

    {
        RunningProgram host (temp.folder, "afterfx.EXE");
        ASSERT_TRUE (host.started());
        ASSERT_TRUE (host.waitUntilListed());
        EXPECT_TRUE (isAfterEffectsRunning());
    }

    EXPECT_FALSE (isAfterEffectsRunning());
}
