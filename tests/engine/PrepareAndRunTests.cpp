#include "EngineTestSupport.h"
#include "tests/support/ScriptedFileSystem.h"

#include "platform/FileSecurity.h"

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
    };

    // The phase at each call that the worker makes to read an archive, move a file or set
    // a list. The listener cannot tell the order of the phases: its updates are merged.
    class PhaseProbe : public platform::FileSecurity
    {
    public:
        explicit PhaseProbe (HfInstallerThread& t) : thread (t)
        {
            fileSystem.onCall = [this] { note(); };
        }

        void note()
        {
            const std::lock_guard<std::mutex> l (mutex);
            const auto phase = thread.getPhase();

            if (phases.empty() || phases.back() != phase)
                phases.push_back (phase);
        }

        std::vector<int> getPhases() const
        {
            const std::lock_guard<std::mutex> l (mutex);
            return phases;
        }

        testing_support::ScriptedFileSystem fileSystem;

        bool allocateSid (const platform::SidAuthority& a, std::uint8_t n, const std::uint32_t (&s)[8], platform::SecurityId& sid) override
        {
            return system.allocateSid (a, n, s, sid);
        }

        void freeSid (platform::SecurityId sid) override { system.freeSid (sid); }

        std::uint32_t setEntriesInAcl (const platform::ExplicitAccess* e, std::uint32_t n, platform::AccessList& list) override
        {
            return system.setEntriesInAcl (e, n, list);
        }

        void freeAccessList (platform::AccessList list) override { system.freeAccessList (list); }

        std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what, platform::SecurityId owner, platform::AccessList dacl) override
        {
            note();
            return system.setNamedSecurityInfo (path, what, owner, dacl);
        }

        bool openProcessToken (platform::TokenHandle& token) override { return system.openProcessToken (token); }
        void closeHandle (platform::TokenHandle token) override { system.closeHandle (token); }
        bool lookupPrivilegeValue (const char* name, platform::PrivilegeId& id) override { return system.lookupPrivilegeValue (name, id); }

        bool adjustTokenPrivilege (platform::TokenHandle token, const platform::PrivilegeId& id, std::uint32_t attributes) override
        {
            return system.adjustTokenPrivilege (token, id, attributes);
        }

        std::uint32_t getLastError() override { return system.getLastError(); }

    private:
        HfInstallerThread& thread;
        platform::FileSecurity& system = platform::getSystemFileSecurity();
        mutable std::mutex mutex;
        std::vector<int> phases;
    };
}

TEST_F (PrepareAndRun, AnEmptyTaskListPlansNothingAndSucceeds)
{
    ASSERT_NO_FATAL_FAILURE (runInstallation ({}));

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
    ASSERT_NO_FATAL_FAILURE (waitForEnd());
    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::UnexpectedError);
    EXPECT_EQ (thread->getLastError().getMessage(), "Installation was not successfull, but no error was triggered");
    EXPECT_FALSE ((scratch / "dest").exists());
    EXPECT_FALSE (temporaryRoot().exists());

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

TEST_F (PrepareAndRun, EachVolumeHasARowOfItsOwnKeyedByItsNearestExistingFolder)
{
    // Every folder a volume of its own, each with 1000 free bytes.
    testing_support::ScriptedFileSystem fileSystem;
    fileSystem.volumeKey = [] (const juce::File& folder) { return folder.getFullPathName().toStdString(); };
    fileSystem.freeBytes = 1000;
    platform::ScopedFileSystemReplacement replacement (fileSystem);

    const auto one = scratch / "one", two = scratch / "two";
    one.createDirectory();
    two.createDirectory();
    auto archive = ZipWriter().file ("a.bin", bytes (600)).open();

    thread->setTasks ({ taskFor (archive, one.getChildFile ("missing/deeper")), taskFor (archive, two) });
    EXPECT_EQ (prepareError().type, Error::None);
    EXPECT_EQ (fileSystem.getCalls(), (std::vector<juce::String> {
        "getVolumeKey " + one.getFullPathName(), "getBytesFreeOnVolume " + one.getFullPathName(),
        "getVolumeKey " + two.getFullPathName(), "getBytesFreeOnVolume " + two.getFullPathName() }));

    thread->setTasks ({ taskFor (archive, one.getChildFile ("missing/deeper")), taskFor (archive, one.getChildFile ("other")) });
    EXPECT_EQ (prepareError().type, Error::NotEnoughDiskSpace);
}

TEST_F (PrepareAndRun, TotalsOfFourGibibytesAndMoreAreNeitherWrappedNorTakenForLess)
{
    // Two entries that claim 0x80000000 and 0x80000001 bytes (nothing is extracted here),
    // installed twice into one folder: 0x100000001 bytes a task, 0x200000002 in all.
    // Summed in 32 bits, a task would need 1 byte.
    ZipWriter writer;
    writer.add ({ "a.bin", {}, false, {}, 0x80000000u, 0 }).add ({ "b.bin", {}, false, {}, 0x80000001u, 0 });
    auto archive = writer.open();

    struct Case
    {
        juce::int64 freeBytes;
        Error::ErrorType expected;
        juce::int64 expectedTotal;
    };

    const Case cases[] {
        { 0x100000001ll, Error::NotEnoughDiskSpace, 0x100000001ll },
        { 0x180000000ll, Error::NotEnoughDiskSpace, 0x200000002ll },
        { 0x200000003ll, Error::None, 0x200000002ll },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.freeBytes);
        testing_support::ScriptedFileSystem fileSystem;
        fileSystem.freeBytes = c.freeBytes;
        platform::ScopedFileSystemReplacement replacement (fileSystem);

        thread->setTasks ({ taskFor (archive, scratch / "dest"), taskFor (archive, scratch / "dest") });
        EXPECT_EQ (prepareError().type, c.expected);
        EXPECT_EQ (thread->getTotalBytes(), c.expectedTotal);
    }
}

TEST_F (PrepareAndRun, ARunGoesThroughItsPhasesTaskByTaskAndInstallsWithPermissions)
{
    ZipWriter first, second;
    first.file ("Vistrel.aex", bytes (4000)).file ("data/one.txt", "one");
    second.file ("Vistrel.aex", bytes (3000, 2)).file ("data/two.txt", "two");
    GatedArchive open (first), gated (second);
    gated.holdAtEntry (0);

    PhaseProbe probe (*thread);
    platform::ScopedFileSecurityReplacement security (probe);
    platform::ScopedFileSystemReplacement fileSystem (probe.fileSystem);

    for (auto* archive : { &open, &gated })
        archive->stream->onRead = [&probe] { probe.note(); };

    const auto one = scratch / "one/Hollowfen/Vistrel", two = scratch / "two/Hollowfen/Vistrel";
    ASSERT_TRUE (startUntilHeld ({ taskFor (open.archive, one), taskFor (gated.archive, two) }, gated));

    // The first task is complete before the second is extracted.
    for (auto* path : { "Vistrel.aex", "data/one.txt" })
    {
        EXPECT_TRUE (one.getChildFile (path).existsAsFile()) << path;
        EXPECT_EQ (aclText (one.getChildFile (path)), installedAcl) << path;
    }

    EXPECT_TRUE (testing_support::runMessageLoopUntil ([&] { return ! listener.seen.empty()
                                                                    && listener.seen.back() == Seen { T::Running, T::Extracting }; }));
    gated.stream->release();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());

    EXPECT_EQ (thread->getState(), T::Succeeded);
    EXPECT_EQ (thread->getPhase(), T::CleaningUp);
    EXPECT_DOUBLE_EQ (thread->getProgress(), 1.0);
    EXPECT_EQ (aclText (two.getChildFile ("data/two.txt")), installedAcl);
    EXPECT_EQ (two.getChildFile ("Vistrel.aex").getSize(), 3000);
    EXPECT_FALSE (temporaryRoot().exists());

    // The preparation's volume questions, then each task's three steps in their phases.
    const std::vector<int> order { T::NotStarted,
                                   T::Extracting, T::MovingFiles, T::SettingPermissions,
                                   T::Extracting, T::MovingFiles, T::SettingPermissions };
    EXPECT_EQ (probe.getPhases(), order);
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
    ASSERT_NO_FATAL_FAILURE (runInstallation ({ taskFor (archive, fine), taskFor (archive, guarded) }));

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

    ASSERT_NO_FATAL_FAILURE (runInstallation ({ taskFor (archive, a), taskFor (archive, b), taskFor (archive, c) }));

    EXPECT_EQ (thread->getState(), T::Failed);
    EXPECT_EQ (thread->getPhase(), T::MovingFiles);
    EXPECT_EQ (thread->getLastError().type, Error::DeleteFailed);
    EXPECT_EQ (readText (a.getChildFile ("Vistrel.aex")), "new");
    EXPECT_FALSE (c.exists());
    EXPECT_TRUE (HfInstallerThread::getTaskTemporaryFolder (1).getChildFile ("Vistrel.aex").existsAsFile());
    EXPECT_EQ (listener.seen.back(), (Seen { T::Failed, T::MovingFiles }));
}

TEST_F (PrepareAndRun, ACancelDuringAnExtractionInstallsNothingOfThatTaskAndEndsCancelled)
{
    for (bool setPermissions : { false, true })
    {
        SCOPED_TRACE (setPermissions);
        scratch.get().deleteRecursively();
        thread = makeThread();
        listener.seen.clear();

        const auto done = scratch / "done", held = scratch / "held", later = scratch / "later";
        held.getChildFile ("e1.txt").create();
        held.getChildFile ("e1.txt").replaceWithText ("old");

        ZipWriter writer;
        writer.file ("e0.txt", "0").file ("e1.txt", "1").file ("e2.txt", "2").file ("e3.txt", "3");
        GatedArchive gated (writer);
        gated.holdAtEntry (2);

        ASSERT_TRUE (startUntilHeld ({ taskFor (ZipWriter().file ("d.txt", "d").open(), done, setPermissions),
                                       taskFor (gated.archive, held, setPermissions),
                                       taskFor (ZipWriter().file ("x.txt", "x").open(), later, setPermissions) }, gated));
        thread->cancel();
        gated.stream->release();
        ASSERT_NO_FATAL_FAILURE (waitForEnd());

        // The task before the cancel stays installed; the held one's destination is as it was.
        EXPECT_EQ (readText (done.getChildFile ("d.txt")), "d");
        const auto heldFiles = held.findChildFiles (juce::File::findFilesAndDirectories, true, "*");
        EXPECT_EQ (heldFiles.size(), 1) << heldFiles[0].getFullPathName() << " and more";
        EXPECT_EQ (readText (held.getChildFile ("e1.txt")), "old");
        EXPECT_FALSE (later.exists());

        EXPECT_EQ (thread->getState(), T::Failed);
        EXPECT_EQ (thread->getLastError().type, Error::None);
        EXPECT_EQ (thread->getPhase(), T::CleaningUp);
        EXPECT_FALSE (temporaryRoot().exists());
        EXPECT_EQ (listener.seen.back(), (Seen { T::Failed, T::CleaningUp }));
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
    ASSERT_NO_FATAL_FAILURE (waitForEnd());

    EXPECT_EQ (thread->getState(), T::Succeeded);
    EXPECT_EQ (readText (scratch / "dest/b.txt"), "b");
}

TEST_F (PrepareAndRun, ATaskListChangedAfterThePreparationIsNotStartedUntilPrepared)
{
    auto archive = ZipWriter().file ("a.txt", "aaaa").open();
    const std::vector<std::vector<InstallationTask>> changedLists {
        { taskFor (archive, scratch / "one") },
        { taskFor (nullptr, scratch / "one") },
    };

    for (auto& changed : changedLists)
    {
        thread->setTasks ({ taskFor (archive, scratch / "one"), taskFor (archive, scratch / "two") });
        thread->prepare();
        thread->setTasks (changed);

        EXPECT_THROW (thread->start(), Error);
        EXPECT_FALSE (thread->isThreadRunning());
        EXPECT_EQ (thread->getState(), T::Ready);
    }

    // Prepared, the null archive is refused there.
    EXPECT_EQ (prepareError().type, Error::InvalidArchive);
}

TEST_F (PrepareAndRun, AnArchiveWithEmptyFolderEntriesInstalls)
{
    // As some archivers store them: a folder entry for every folder, also for empty ones.
    ZipWriter writer;
    writer.folder ("emptydir/").folder ("a/").folder ("a/b/").folder ("a/b/c/")
          .file ("Vistrel.aex", "plug-in").folder ("data/").file ("data/one.txt", "one");
    const auto destination = scratch / "Hollowfen/Vistrel";

    ASSERT_NO_FATAL_FAILURE (runInstallation ({ taskFor (writer.open(), destination) }));

    ASSERT_EQ (thread->getState(), T::Succeeded) << thread->getLastError().getMessage();

    for (auto* path : { "Vistrel.aex", "data", "data/one.txt" })
        EXPECT_EQ (aclText (destination.getChildFile (path)), installedAcl) << path;

    EXPECT_FALSE (destination.getChildFile ("emptydir").exists());
    EXPECT_FALSE (destination.getChildFile ("a").exists());
}

TEST_F (PrepareAndRun, AFullVolumeDuringTheRunFailsIt)
{
    temporaryRoot().deleteRecursively();
    ScopedTmpfs volume (temporaryRoot(), 64 * 1024, "0700");
    HF_REQUIRE_TMPFS (volume);

    const auto incompressible = incompressibleBytes (300 * 1024, 9);
    const auto destination = scratch / "dest";

    ASSERT_NO_FATAL_FAILURE (runInstallation ({ taskFor (ZipWriter().file ("Vistrel.aex", incompressible).open(), destination) }));

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
    ASSERT_NO_FATAL_FAILURE (runInstallation ({ task }));
    ASSERT_EQ (thread->getState(), T::Succeeded);
    ASSERT_EQ (aclText (destination.getChildFile ("Vistrel.aex")), installedAcl);

    EXPECT_FALSE (HfInstallerThread::needsPrivileges (task));
    listener.seen.clear();
    ASSERT_NO_FATAL_FAILURE (runInstallation ({ task }));
    EXPECT_EQ (thread->getState(), T::Succeeded);
}
