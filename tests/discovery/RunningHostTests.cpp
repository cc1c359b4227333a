#include "discovery/AfterEffectsDiscovery.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST (RunningHost, AProcessNamedAfterFxExeInAnyLetterCaseCounts)
{
    TemporaryFolder temp;
    ASSERT_FALSE (isAfterEffectsRunning()) << "After Effects runs on this machine already";

    {
        RunningProgram host (temp.folder, "afterfx.EXE");
        ASSERT_TRUE (host.started());
        ASSERT_TRUE (host.waitUntilListed());
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
        ASSERT_TRUE (other.waitUntilListed());
        EXPECT_FALSE (isAfterEffectsRunning());
    }
}
