#include "EngineTestSupport.h"

using namespace engine_test;

namespace
{
    using Error = HfInstallerThreadException;
    using T = HfInstallerThread;

    struct PrepareAndRun : EngineTest
    {
        InstallationTask taskFor (std::shared_ptr<juce::ZipFile> archive, const juce::File& destination,
                                  bool setPermissions = true, bool overwrite = true)
        {
            return InstallationTask (std::move (archive), destination.getFullPathName(), overwrite, setPermissions);
        }

        // An archive of one entry of `size` zero bytes (small when deflated).
        static std::shared_ptr<juce::ZipFile> zeros (size_t size)
        {
            juce::MemoryBlock block (size, true);
            return ZipWriter().file ("zeros.bin", block).open();
        }

        Error prepareError()
        {
            try
            {
                thread->prepare();
            }
            catch (const Error& e)
            {
                return e;
            }

            return Error (Error::None, "nothing was thrown");
        }

        // True when `seen` is `expected` with some entries left out (updates are merged).
        static bool isOrderedSubsequence (const std::vector<Seen>& seen, const std::vector<Seen>& expected)
        {
            size_t next = 0;

            for (auto& s : seen)
            {
                while (next < expected.size() && ! (expected[next] == s))
                    ++next;

                if (next == expected.size())
                    return false;

                ++next;
            }

            return true;
        }
    };
}

TEST_F (PrepareAndRun, AnEmptyTaskListPlansNothingAndSucceeds)
{
    runInstallation ({});

    EXPECT_EQ (thread->getTotalBytes(), 0);
    EXPECT_EQ (thread->getState(), T::Succeeded);
    EXPECT_EQ (listener.seen.back(), (Seen { T::Succeeded, T::CleaningUp }));
}

TEST_F (PrepareAndRun, ArchivesAreCheckedInOrderAndTheTotalCountsTheTasksBeforeTheFailingOne)
{
    const auto destination = scratch / "dest";
    const std::vector<std::shared_ptr<juce::ZipFile>> refused {
        nullptr, std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (nullptr, 0, false), true)
    };

    for (auto& archive : refused)
    {
        thread->setTasks ({ taskFor (ZipWriter().file ("a.txt", "0123456789").open(), destination),
                            taskFor (archive, destination) });
        auto e = prepareError();

        EXPECT_EQ (e.type, Error::InvalidArchive);
        EXPECT_TRUE (e.getMessage().isEmpty());
        EXPECT_EQ (thread->getTotalBytes(), 10);
        EXPECT_EQ (thread->getState(), T::Ready);
        EXPECT_THROW (thread->start(), Error);
    }
}

TEST_F (PrepareAndRun, PreparationIsRefusedWhileARunGoesAndResetsAFinishedRun)
{
    ZipWriter writer;
    writer.file ("a.txt", "a").file ("b.txt", "b").file ("c.txt", "c");
    GatedArchive gated (writer);
    gated.holdAtEntry (1);
    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive, scratch / "dest", false) }, gated));

    auto e = prepareError();
    EXPECT_EQ (e.type, Error::StillInProgress);
    EXPECT_TRUE (e.getMessage().isEmpty());
    EXPECT_EQ (thread->getState(), T::Running);

    // An exit request (as when the thread object is deleted) that leaves bytes undone.
    thread->signalThreadShouldExit();
    gated.stream->release();
    waitForEnd();
    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::UnexpectedError);
    EXPECT_EQ (thread->getLastError().getMessage(), "Installation was not successfull, but no error was triggered");

    thread->prepare();
    EXPECT_EQ (thread->getState(), T::Ready);
    EXPECT_EQ (thread->getPhase(), T::NotStarted);
    EXPECT_EQ (thread->getLastError().type, Error::None);
    EXPECT_EQ (thread->getProgress(), 0.0);
}

TEST_F (PrepareAndRun, TheDiskSpaceOfEachVolumeIsCheckedAgainstItsTasksTogether)
{
    ScopedTmpfs volume (scratch / "small", 1024 * 1024);
    HF_REQUIRE_TMPFS (volume);

    const auto small = scratch / "small";
    const auto free = juce::File (small).getBytesFreeOnVolume();
    ASSERT_GT (free, 600 * 1024);

    struct Case
    {
        const char* what;
        std::vector<std::pair<juce::int64, juce::File>> tasks;
        bool refused;
        juce::int64 expectedTotal;
    };

    const auto half = (free / 2) + 1;
    const std::vector<Case> cases {
        { "exactly the free space", { { free, small.getChildFile ("a") } }, true, free },
        { "one byte less", { { free - 1, small.getChildFile ("a") } }, false, free - 1 },
        { "two folders on one volume add up", { { half, small.getChildFile ("a") }, { half, small.getChildFile ("b/deeper") } }, true, 2 * half },
        { "two volumes are checked apart", { { half, small.getChildFile ("a") }, { half, scratch / "root-disk" } }, false, 2 * half },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        std::vector<InstallationTask> tasks;

        for (auto& [size, destination] : c.tasks)
            tasks.push_back (taskFor (zeros ((size_t) size), destination));

        thread->setTasks (tasks);
        auto e = prepareError();

        EXPECT_EQ (e.type, c.refused ? Error::NotEnoughDiskSpace : Error::None);
        EXPECT_EQ (thread->getTotalBytes(), c.expectedTotal);
    }

    // A volume without free space refuses even an archive of empty files.
    juce::FileOutputStream filler (small.getChildFile ("filler"));
    juce::MemoryBlock block (64 * 1024, true);
    while (filler.write (block.getData(), block.getSize()) && filler.getPosition() < 2 * free) {}
    filler.flush();
    ASSERT_EQ (small.getBytesFreeOnVolume(), 0);

    thread->setTasks ({ taskFor (ZipWriter().file ("empty.txt", "").open(), small.getChildFile ("a")) });
    EXPECT_EQ (prepareError().type, Error::NotEnoughDiskSpace);
}

TEST_F (PrepareAndRun, TotalsOfFourGibibytesAndMoreAreNeitherWrappedNorTakenForLess)
{
    // The sizes are only claimed; nothing is extracted here.
    ZipWriter writer;
    writer.add ({ "a.bin", {}, false, {}, 0x80000000u, 0 }).add ({ "b.bin", {}, false, {}, 0x80000001u, 0 });
    auto archive = writer.open();

    ScopedTmpfs volume (scratch / "small", 1024 * 1024);
    const auto destination = volume.isMounted() ? scratch / "small/dest" : scratch / "dest";
    thread->setTasks ({ taskFor (archive, destination), taskFor (archive, destination) });
    auto e = prepareError();

    if (volume.isMounted())
    {
        // Summed in 32 bits, the first task would need 1 byte and pass.
        EXPECT_EQ (e.type, Error::NotEnoughDiskSpace);
        EXPECT_EQ (thread->getTotalBytes(), 0x100000001ll);
    }
    else
    {
        EXPECT_EQ (thread->getTotalBytes(), e.type == Error::None ? 0x200000002ll : thread->getTotalBytes());
        EXPECT_GE (thread->getTotalBytes(), 0x100000001ll);
    }
}

TEST_F (PrepareAndRun, ARunGoesThroughItsPhasesTaskByTaskAndInstallsWithPermissions)
{
    ZipWriter first, second;
    first.file ("Vistrel.aex", bytes (4000)).file ("data/one.txt", "one");
    second.file ("Vistrel.aex", bytes (3000, 2)).file ("data/two.txt", "two");
    GatedArchive gated (second);
    gated.holdAtEntry (0);

    const auto one = scratch / "one/Hollowfen/Vistrel", two = scratch / "two/Hollowfen/Vistrel";
    ASSERT_TRUE (startUntilHeld ({ taskFor (first.open(), one), taskFor (gated.archive, two) }, gated));

    // The first task is complete before the second is extracted.
    for (auto* path : { "Vistrel.aex", "data/one.txt" })
    {
        EXPECT_TRUE (one.getChildFile (path).existsAsFile()) << path;
        EXPECT_EQ (aclText (one.getChildFile (path)), installedAcl) << path;
    }

    EXPECT_TRUE (testing_support::runMessageLoopUntil ([&] { return ! listener.seen.empty()
                                                                    && listener.seen.back() == Seen { T::Running, T::Extracting }; }));
    gated.stream->release();
    waitForEnd();

    EXPECT_EQ (thread->getState(), T::Succeeded);
    EXPECT_EQ (thread->getPhase(), T::CleaningUp);
    EXPECT_DOUBLE_EQ (thread->getProgress(), 1.0);
    EXPECT_EQ (aclText (two.getChildFile ("data/two.txt")), installedAcl);
    EXPECT_EQ (two.getChildFile ("Vistrel.aex").getSize(), 3000);
    EXPECT_FALSE (temporaryRoot().exists());

    const std::vector<Seen> order {
        { T::Running, T::Extracting }, { T::Running, T::MovingFiles }, { T::Running, T::SettingPermissions },
        { T::Running, T::Extracting }, { T::Running, T::MovingFiles }, { T::Running, T::SettingPermissions },
        { T::Running, T::CleaningUp }, { T::Succeeded, T::CleaningUp },
    };
    EXPECT_TRUE (isOrderedSubsequence (listener.seen, order)) << testing::PrintToString (listener.seen);
    EXPECT_EQ (listener.seen.back(), (Seen { T::Succeeded, T::CleaningUp }));
}

TEST_F (PrepareAndRun, ADestinationHoldingAReadOnlyFileFailsTheRunBeforeAnyExtraction)
{
    const auto fine = scratch / "fine", guarded = scratch / "guarded";
    const auto old = guarded.getChildFile ("Vistrel.aex");
    old.create();
    ::chmod (old.getFullPathName().toRawUTF8(), 0444);
    const auto marker = temporaryRoot().getChildFile ("file-0/marker");
    marker.create();

    auto archive = ZipWriter().file ("Vistrel.aex", "new").open();
    runInstallation ({ taskFor (archive, fine), taskFor (archive, guarded) });

    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getPhase(), T::NotStarted);
    EXPECT_EQ (thread->getLastError().type, Error::ExtractionFailed);
    EXPECT_EQ (thread->getLastError().getMessage(), "Could not aquire permissions to move to directory");
    EXPECT_FALSE (fine.exists());
    EXPECT_TRUE (marker.existsAsFile());
    EXPECT_EQ (old.getSize(), 0);
}

TEST_F (PrepareAndRun, AnErrorInTheSecondOfThreeTasksLeavesTheFirstInstalledAndTheThirdUntouched)
{
    const auto a = scratch / "a", b = scratch / "b", c = scratch / "c";
    b.getChildFile ("Vistrel.aex").createDirectory();
    auto archive = ZipWriter().file ("Vistrel.aex", "new").open();

    runInstallation ({ taskFor (archive, a), taskFor (archive, b), taskFor (archive, c) });

    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getPhase(), T::MovingFiles);
    EXPECT_EQ (thread->getLastError().type, Error::DeleteFailed);
    EXPECT_EQ (readText (a.getChildFile ("Vistrel.aex")), "new");
    EXPECT_FALSE (c.exists());
    EXPECT_TRUE (HfInstallerThread::getTaskTemporaryFolder (1).getChildFile ("Vistrel.aex").existsAsFile());
    EXPECT_EQ (listener.seen.back(), (Seen { T::Failed, T::MovingFiles }));
}

TEST_F (PrepareAndRun, ACancelDuringAnExtractionFinishesTheTaskWithWhatWasExtractedAndStopsThere)
{
    for (bool setPermissions : { false, true })
    {
        SCOPED_TRACE (setPermissions);
        scratch.get().deleteRecursively();
        thread = makeThread();
        listener.seen.clear();

        ZipWriter writer;
        writer.file ("e0.txt", "0").file ("e1.txt", "1").file ("e2.txt", "2").file ("e3.txt", "3");
        GatedArchive gated (writer);
        gated.holdAtEntry (2);
        const auto first = scratch / "first", second = scratch / "second";

        ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive, first, setPermissions),
                            taskFor (ZipWriter().file ("x.txt", "x").open(), second, setPermissions) }, gated));
        thread->cancel();
        gated.stream->release();
        waitForEnd();

        for (auto* name : { "e0.txt", "e1.txt", "e2.txt" })
            EXPECT_TRUE (first.getChildFile (name).existsAsFile()) << name;

        EXPECT_FALSE (first.getChildFile ("e3.txt").exists());
        EXPECT_FALSE (second.exists());
        EXPECT_EQ (thread->getState(), T::Failed);
        EXPECT_DOUBLE_EQ (thread->getProgress(), 3.0 / 5.0);

        if (setPermissions)
        {
            // The permission step looks for every entry of the archive.
            EXPECT_EQ (thread->getLastError().type, Error::PermissionsFileMissing);
            EXPECT_EQ (thread->getLastError().getMessage(),
                       "[Detail] Did not find file that we should change windows permissions to: "
                           + first.getChildFile ("e3.txt").getFullPathName());
        }
        else
        {
            EXPECT_EQ (thread->getLastError().type, Error::None);
            EXPECT_EQ (thread->getPhase(), T::CleaningUp);
            EXPECT_FALSE (temporaryRoot().exists());
        }
    }
}

TEST_F (PrepareAndRun, ACancelDuringTheLastEntryOfTheLastTaskEndsInSuccess)
{
    ZipWriter writer;
    writer.file ("a.txt", "a").file ("b.txt", "b");
    GatedArchive gated (writer);
    gated.holdAtEntry (1);
    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive, scratch / "dest") }, gated));
    thread->cancel();
    gated.stream->release();
    waitForEnd();

    EXPECT_EQ (thread->getState(), T::Succeeded);
    EXPECT_EQ (readText (scratch / "dest/b.txt"), "b");
}

TEST_F (PrepareAndRun, ATaskListChangedAfterThePreparationIsNotReportedAsSuccess)
{
    auto archive = ZipWriter().file ("a.txt", "aaaa").open();
    thread->setTasks ({ taskFor (archive, scratch / "one"), taskFor (archive, scratch / "two") });
    thread->prepare();
    thread->setTasks ({ taskFor (archive, scratch / "one") });
    thread->start();
    waitForEnd();

    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::UnexpectedError);
    EXPECT_EQ (thread->getLastError().getMessage(), "Installation was not successfull, but no error was triggered");
}

TEST_F (PrepareAndRun, AFullVolumeDuringTheRunFailsIt)
{
    temporaryRoot().deleteRecursively();
    ScopedTmpfs volume (temporaryRoot(), 64 * 1024, "0700");
    HF_REQUIRE_TMPFS (volume);

    const auto incompressible = incompressibleBytes (300 * 1024, 9);
    const auto destination = scratch / "dest";

    runInstallation ({ taskFor (ZipWriter().file ("Vistrel.aex", incompressible).open(), destination) });

    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::ExtractionFailed);
    EXPECT_EQ (thread->getLastError().index, 0);
    EXPECT_TRUE (thread->getLastError().getMessage().contains ("No space left on device"));
    EXPECT_EQ (thread->getPhase(), T::Extracting);
    EXPECT_LT (thread->getProgress(), 1.0);
    EXPECT_FALSE (destination.exists());
    EXPECT_EQ (listener.seen.back(), (Seen { T::Failed, T::Extracting }));
}

TEST_F (PrepareAndRun, AnInstalledFileCanBeInstalledAgain)
{
    // The list leaves the file's mode with a group write bit (its mask), so that a repair
    // does not take the installed plug-in for a read-only file.
    const auto destination = scratch / "Hollowfen/Vistrel";
    const auto task = taskFor (ZipWriter().file ("Vistrel.aex", "1.3.2").open(), destination);
    runInstallation ({ task });
    ASSERT_EQ (thread->getState(), T::Succeeded);
    ASSERT_EQ (aclText (destination.getChildFile ("Vistrel.aex")), installedAcl);

    EXPECT_FALSE (HfInstallerThread::needsPrivileges (task));
    listener.seen.clear();
    runInstallation ({ task });
    EXPECT_EQ (thread->getState(), T::Succeeded);
}
