#include "platform/ProcessList.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::RunningProgram;
using testing_support::TemporaryFolder;

namespace
{
    bool isListed (const std::string& name)
    {
        const auto names = platform::getRunningProcessNames();
        return std::find (names.begin(), names.end(), name) != names.end();
    }
}

TEST (ProcessList, ListsTheExecutableNamesOfRunningProcessesLongNamesInFull)
{
    TemporaryFolder temp;

    // comm keeps 15 bytes: names shorter than that, of just that length, one byte
    // longer, and much longer.
    for (const std::string name : { "short-name", "exactly-15-char", "sixteen-chars-ab", "a rather long process name.exe" })
    {
        SCOPED_TRACE (name);
        RunningProgram program (temp.folder, name);
        ASSERT_TRUE (program.started());
        EXPECT_TRUE (program.waitUntilListed());
        EXPECT_FALSE (isListed (name.substr (0, 15) == name ? name + "x" : name.substr (0, 15)));
    }
}

TEST (ProcessList, ListsThisProcessAndNoEmptyNames)
{
    const auto names = platform::getRunningProcessNames();
    EXPECT_FALSE (names.empty());
    EXPECT_EQ (std::count (names.begin(), names.end(), std::string()), 0);

    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFileName().toStdString();
    EXPECT_TRUE (isListed (self)) << self;
}
