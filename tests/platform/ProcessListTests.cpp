#include "platform/ProcessList.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using testing_support::RunningProgram;
using testing_support::TemporaryFolder;

namespace
{
    bool isListed (const std::string& name)
    {
        const auto names = platform::getRunningProcessNames();
        return std::find (names.begin(), names.end(), name) != names.end();
    }

    // Threads that start a short-lived program and wait for its end, again and again,
    // until the object goes.
    class ShortLivedPrograms
    {
    public:
        ShortLivedPrograms (const juce::File& folder, const juce::String& executableName, int numThreads)
            : path (folder.getChildFile (executableName).getFullPathName().toStdString())
        {
            std::filesystem::copy_file ("/bin/true", path, std::filesystem::copy_options::overwrite_existing);

            for (int i = 0; i < numThreads; ++i)
                threads.emplace_back ([this]
                {
                    while (! stopped)
                    {
                        char* argv[] = { path.data(), nullptr };
                        pid_t pid = -1;

                        if (posix_spawn (&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
                            break;

                        ::waitpid (pid, nullptr, 0);
                        ++started;
                    }
                });
        }

        ~ShortLivedPrograms()
        {
            stopped = true;
            for (auto& t : threads)
                t.join();
        }

        int numStarted() const { return started; }

    private:
        std::string path;
        std::atomic<bool> stopped { false };
        std::atomic<int> started { 0 };
        std::vector<std::thread> threads;
    };
}

TEST (ProcessList, ListsTheExecutableNamesOfRunningProcessesLongNamesInFull)
{
    TemporaryFolder temp;

    // comm keeps 15 bytes: names shorter than that, of just that length, one byte longer
    // and much longer, each with a first argument that the list must not take instead.
    struct Case { std::string name, firstArgument, notListed; };
    const Case cases[] {
        // A comm shorter than 15 bytes is whole: the first argument is not looked at.
        { "short-name", "short-name-and-more", "short-name-and-more" },
        // One of 15 bytes may be cut: a first argument that does not begin with it is no longer name.
        { "exactly-15-char", "/somewhere/else", "else" },
        // Longer names read in full from the first argument, never as the cut comm.
        { "sixteen-chars-ab", "", "sixteen-chars-a" },
        { "a rather long process name.exe", "", "a rather long p" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        RunningProgram program (temp.folder, c.name, c.firstArgument);
        ASSERT_TRUE (program.started());
        EXPECT_TRUE (program.waitUntilListed());
        EXPECT_FALSE (isListed (c.notListed));
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

// A process may end while the list reads its files: that leaves it out, and leaves the
// processes that run throughout in the list.
TEST (ProcessList, ListsALongLivedProcessWhileOthersStartAndEnd)
{
    TemporaryFolder temp;
    RunningProgram longLived (temp.folder, "long-lived");
    ASSERT_TRUE (longLived.started());
    ASSERT_TRUE (longLived.waitUntilListed());

    // Named beyond comm's 15 bytes, so that the list reads two files of each.
    const ShortLivedPrograms others (temp.folder, "short-lived-program", 8);

    int missed = 0;
    for (int round = 0; round < 500; ++round)
    {
        if (! isListed ("long-lived"))
            ++missed;
    }

    EXPECT_GT (others.numStarted(), 0);
    EXPECT_EQ (missed, 0);
}
