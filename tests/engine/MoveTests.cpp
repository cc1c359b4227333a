#include "EngineTestSupport.h"
#include "tests/engine/ThreadStopChecks.h"
#include "tests/support/ScriptedFileSystem.h"

using namespace engine_test;

namespace
{
    using Error = HfInstallerThreadException;

    struct Move : EngineTest
    {
        juce::File destination = scratch / "plugins/Hollowfen/Vistrel";

        InstallationTask taskFor (std::shared_ptr<juce::ZipFile> archive, bool overwrite = true)
        {
            return InstallationTask (std::move (archive), destination.getFullPathName(), overwrite, false);
        }

        // Extracts the task into task folder 0, as the run does before it moves.
        InstallationTask extracted (ZipWriter& writer, bool overwrite = true)
        {
            auto task = taskFor (writer.open(), overwrite);
            thread->extractFiles (task, 0);
            return task;
        }

        Error moveError (const InstallationTask& task)
        {
            try
            {
                thread->moveFromTemporaryFolder (task, 0, false);
            }
            catch (const Error& e)
            {
                return e;
            }

            return Error (Error::None, "nothing was thrown");
        }

        juce::File taskFolder() const { return HfInstallerThread::getTaskTemporaryFolder (0); }

        const juce::MemoryBlock old = bytes (20000, 4);

        // The old plug-in at the destination.
        juce::File oldPlugin (const juce::MemoryBlock& content)
        {
            const auto plugin = destination.getChildFile ("Vistrel.aex");
            plugin.getParentDirectory().createDirectory();
            plugin.replaceWithData (content.getData(), content.getSize());
            return plugin;
        }

        void expectOnlyThePlugin (const juce::MemoryBlock& content)
        {
            juce::MemoryBlock kept;
            EXPECT_TRUE (destination.getChildFile ("Vistrel.aex").loadFileAsData (kept));
            EXPECT_TRUE (kept == content) << "not the plug-in expected";
            EXPECT_EQ (destination.findChildFiles (juce::File::findFilesAndDirectories, false, "*").size(), 1)
                << "a copy was left beside it";
        }
    };
}

TEST_F (Move, MovesEveryFileToItsPlaceCreatingTheDestinationButNoEmptyFolders)
{
    ZipWriter writer;
    writer.file ("top.txt", "top").file ("sub/deep/inner.txt", "inner").folder ("empty/");
    auto task = extracted (writer);

    thread->moveFromTemporaryFolder (task, 0, false);

    EXPECT_EQ (readText (destination.getChildFile ("top.txt")), "top");
    EXPECT_EQ (readText (destination.getChildFile ("sub/deep/inner.txt")), "inner");
    EXPECT_FALSE (destination.getChildFile ("empty").exists());
    EXPECT_TRUE (taskFolder().findChildFiles (juce::File::findFiles, true).isEmpty());
}

TEST_F (Move, AMissingDestinationIsCreatedEvenWithNoFileToMove)
{
    ZipWriter writer;
    writer.folder ("only-a-folder/");
    thread->moveFromTemporaryFolder (extracted (writer), 0, false);

    EXPECT_TRUE (destination.isDirectory());
}

TEST_F (Move, ExistingTargetsAreReplacedOnlyWhenOverwriting)
{
    for (bool overwrite : { false, true })
    {
        SCOPED_TRACE (overwrite);
        destination.deleteRecursively();
        destination.getChildFile ("plugin.aex").create();
        destination.getChildFile ("plugin.aex").replaceWithText ("old");
        destination.getChildFile ("folder.aex").createDirectory();

        ZipWriter writer;
        writer.file ("plugin.aex", "new");
        auto task = extracted (writer, overwrite);

        if (overwrite)
        {
            thread->moveFromTemporaryFolder (task, 0, false);
            EXPECT_EQ (readText (destination.getChildFile ("plugin.aex")), "new");
            EXPECT_FALSE (taskFolder().getChildFile ("plugin.aex").exists());
        }
        else
        {
            // A folder at a target's path is no error either when existing targets stay.
            ZipWriter both;
            both.file ("plugin.aex", "new").file ("folder.aex", "new");
            task = extracted (both, false);
            thread->moveFromTemporaryFolder (task, 0, false);

            EXPECT_EQ (readText (destination.getChildFile ("plugin.aex")), "old");
            EXPECT_TRUE (destination.getChildFile ("folder.aex").isDirectory());
            EXPECT_EQ (readText (taskFolder().getChildFile ("plugin.aex")), "new");
        }
    }
}

TEST_F (Move, AFolderStandingAtATargetFailsTheMoveWhenOverwriting)
{
    destination.getChildFile ("plugin.aex/keep.txt").create();
    ZipWriter writer;
    writer.file ("plugin.aex", "new");
    auto task = extracted (writer);

    auto e = moveError (task);

    EXPECT_EQ (e.type, Error::DeleteFailed);
    EXPECT_EQ (e.getMessage(), "Detail: Could not delete this file: " + destination.getChildFile ("plugin.aex").getFullPathName());
    EXPECT_TRUE (destination.getChildFile ("plugin.aex/keep.txt").existsAsFile());
    EXPECT_TRUE (taskFolder().getChildFile ("plugin.aex").existsAsFile());
}

TEST_F (Move, FoldersThatCannotBeCreatedFailTheMove)
{
    // A file stands where the destination's parent should be.
    const auto blocked = scratch / "plugins";
    blocked.replaceWithText ("a file");
    ZipWriter writer;
    writer.file ("a.txt", "a");
    auto e = moveError (extracted (writer));

    EXPECT_EQ (e.type, Error::CreateDirectoryFailed);
    EXPECT_EQ (e.getMessage(), "Detail: Could not create directory:: " + destination.getFullPathName());

    // A file stands on the way to a target's folder.
    blocked.deleteFile();
    destination.getChildFile ("sub").create();
    ZipWriter nested;
    nested.file ("sub/deeper/b.txt", "b");
    e = moveError (extracted (nested));

    EXPECT_EQ (e.type, Error::CreateDirectoryFailed);
    EXPECT_EQ (e.getMessage(), "Detail: Could not create directory: " + destination.getChildFile ("sub/deeper").getFullPathName());
}

TEST_F (Move, AMoveThatFailsHalfWayKeepsTheFilesMovedBeforeIt)
{
    ScopedTmpfs volume (scratch / "small", 64 * 1024);
    HF_REQUIRE_TMPFS (volume);
    destination = scratch / "small/Vistrel";

    const auto tooBig = incompressibleBytes (200 * 1024, 5);
    ZipWriter writer;
    writer.file ("a.bin", bytes (8000, 1)).file ("b.bin", bytes (8000, 2)).file ("c.bin", tooBig);
    auto task = extracted (writer);

    // The task folder and the destination lie on different volumes: the move copies.
    auto e = moveError (task);

    EXPECT_EQ (e.type, Error::MoveFailed);
    EXPECT_EQ (e.getMessage(), "Detail: Could not move this file : " + taskFolder().getChildFile ("c.bin").getFullPathName()
                                   + " into : " + destination.getChildFile ("c.bin").getFullPathName());
    EXPECT_EQ (destination.getChildFile ("a.bin").getSize(), 8000);
    EXPECT_EQ (destination.getChildFile ("b.bin").getSize(), 8000);
    EXPECT_FALSE (destination.getChildFile ("c.bin").exists());
    EXPECT_EQ (taskFolder().getChildFile ("c.bin").getSize(), 200 * 1024);
}

TEST_F (Move, AReplaceAcrossVolumesThatFailsKeepsTheOldFileByteForByte)
{
    ScopedTmpfs volume (scratch / "small", 64 * 1024);
    HF_REQUIRE_TMPFS (volume);
    destination = scratch / "small/Vistrel";
    oldPlugin (old);

    // The new plug-in does not fit beside the old one.
    ZipWriter writer;
    writer.file ("Vistrel.aex", incompressibleBytes (200 * 1024, 6));
    auto e = moveError (extracted (writer));

    EXPECT_EQ (e.type, Error::MoveFailed);
    EXPECT_EQ (e.getMessage(), "Detail: Could not move this file : " + taskFolder().getChildFile ("Vistrel.aex").getFullPathName()
                                   + " into : " + destination.getChildFile ("Vistrel.aex").getFullPathName());
    expectOnlyThePlugin (old);
    EXPECT_EQ (taskFolder().getChildFile ("Vistrel.aex").getSize(), 200 * 1024);
}

TEST_F (Move, AnOldFileIsReplacedInOneStepAndStaysAsItWasWhereTheReplaceFails)
{
    using Answers = std::vector<std::optional<std::uint32_t>>;
    const auto fresh = bytes (5000, 2);

    struct Case
    {
        const char* what;
        Answers renames, copies;
        Error::ErrorType expected;
    };

    const std::vector<Case> cases {
        { "one volume: renamed over the old file", {}, {}, Error::None },
        { "across volumes: a copy beside it, renamed over it", { platform::errorNotSameDevice }, {}, Error::None },
        { "across volumes: the copy's first name is taken", { platform::errorNotSameDevice }, { platform::errorFileExists }, Error::None },
        { "across volumes: the copy fails", { platform::errorNotSameDevice }, { 112 }, Error::MoveFailed },
        { "across volumes: the copy cannot be put in place", { platform::errorNotSameDevice, 1117 }, {}, Error::MoveFailed },
        { "the old file may not be replaced", { platform::errorAccessDenied }, {}, Error::DeleteFailed },
        { "the old file is in use", { platform::errorSharingViolation }, {}, Error::DeleteFailed },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        destination.deleteRecursively();
        const auto target = oldPlugin (old);
        ZipWriter writer;
        writer.file ("Vistrel.aex", fresh);
        auto task = extracted (writer);
        const auto source = taskFolder().getChildFile ("Vistrel.aex");

        testing_support::ScriptedFileSystem fileSystem;
        fileSystem.renameAnswers = c.renames;
        fileSystem.copyAnswers = c.copies;
        Error e (Error::None, {});

        {
            platform::ScopedFileSystemReplacement replacement (fileSystem);
            e = moveError (task);
        }

        const auto calls = fileSystem.getCalls();
        EXPECT_EQ (e.type, c.expected) << e.getMessage();
        expectOnlyThePlugin (c.expected == Error::None ? fresh : old);
        EXPECT_TRUE (std::find (calls.begin(), calls.end(), "deleteFile " + target.getFullPathName()) == calls.end());

        if (c.expected == Error::DeleteFailed)
        {
            EXPECT_EQ (e.getMessage(), "Detail: Could not delete this file: " + target.getFullPathName());
        }

        if (c.renames.empty())
        {
            EXPECT_EQ (calls, (std::vector<juce::String> { "renameReplacing " + source.getFullPathName() + " " + target.getFullPathName() }));
        }
        else if (c.expected == Error::None)
        {
            // The copy: a hidden name of its own in the target's folder, made exclusively.
            ASSERT_GE (calls.size(), 4u);
            const auto copy = calls[calls.size() - 3].fromLastOccurrenceOf (" ", false, false);
            EXPECT_EQ (juce::File (copy).getParentDirectory(), destination);
            EXPECT_TRUE (juce::File (copy).getFileName().startsWith (".Vistrel.aex.")) << copy;
            EXPECT_EQ (calls[calls.size() - 3], "copyToNewFile " + source.getFullPathName() + " " + copy);
            EXPECT_EQ (calls[calls.size() - 2], "renameReplacing " + copy + " " + target.getFullPathName());
            EXPECT_EQ (calls.back(), "deleteFile " + source.getFullPathName());
            EXPECT_FALSE (source.exists());
        }
    }
}

// The thread object deleted while the worker copies across volumes: the copy stops at its
// next chunk, well before the destructor would end the worker by force.
TEST_F (Move, DestroyingTheThreadDuringACopyAcrossVolumesKeepsTheOldFileAndLeavesNoCopy)
{
    thread_stop::expectDestroyingTheThreadMidCopyKeepsTheOldFile (thread, destination);
}

// A cancel does not stop a copy across volumes: the copy goes on to its end, so that the
// task is installed whole, and the run ends cancelled before the next task.
TEST_F (Move, ACancelDuringACopyAcrossVolumesWaitsForTheCopyAndEndsTheRunBeforeTheNextTask)
{
    auto* running = thread.get();
    thread_stop::HeldCopyAcrossVolumes copy (thread, destination,
                                             [running] { return running->getState() == HfInstallerThread::CancelRequested; });

    ASSERT_NO_FATAL_FAILURE (copy.startHeld());
    thread->cancel();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());

    EXPECT_EQ (thread->getState(), HfInstallerThread::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::None) << thread->getLastError().getMessage();
    copy.expectOnlyThePlugin (copy.fresh);
    EXPECT_FALSE (copy.second.exists());
    EXPECT_FALSE (temporaryRoot().exists());
}

TEST_F (Move, ADestinationThatNeedsPrivilegesIsNotTouched)
{
    ZipWriter writer;
    writer.file ("a.txt", "a");
    auto task = extracted (writer);

    EXPECT_THROW (thread->moveFromTemporaryFolder (task, 0, true), HfPrivilegedOperationsException);
    EXPECT_FALSE (destination.exists());
    EXPECT_TRUE (taskFolder().getChildFile ("a.txt").existsAsFile());
}

TEST_F (Move, PrivilegesAreNeededExactlyForReadOnlyFilesAtAnyDepth)
{
    auto readOnly = [] (const juce::File& f) { ::chmod (f.getFullPathName().toRawUTF8(), 0444); };

    struct Case
    {
        const char* what;
        std::function<void (const juce::File&)> make;
        bool needs;
    };

    const std::vector<Case> cases {
        { "missing destination", [] (const juce::File&) {}, false },
        { "writable files", [] (const juce::File& d) { d.getChildFile ("a/b/c.txt").create(); }, false },
        { "read-only file three levels down", [&] (const juce::File& d) { auto f = d.getChildFile ("a/b/c/old.aex");
                                                                          f.create(); readOnly (f); }, true },
        { "destination is a read-only file", [&] (const juce::File& d) { d.create(); readOnly (d); }, true },
        { "destination is a writable file", [] (const juce::File& d) { d.create(); }, false },
        { "only a read-only folder", [] (const juce::File& d) { d.getChildFile ("ro").createDirectory();
                                                                ::chmod (d.getChildFile ("ro").getFullPathName().toRawUTF8(), 0555); }, false },
        { "link to a read-only file", [&] (const juce::File& d) { auto f = d.getSiblingFile ("elsewhere.aex"); f.create(); readOnly (f);
                                                                  d.createDirectory(); f.createSymbolicLink (d.getChildFile ("link.aex"), true); }, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto d = scratch / juce::String (c.what).replaceCharacter (' ', '-');
        c.make (d);
        EXPECT_EQ (HfInstallerThread::needsPrivileges (InstallationTask (nullptr, d.getFullPathName(), true, true)), c.needs);
    }
}

TEST_F (Move, AnImmutableFileNeedsPrivileges)
{
    const auto file = destination.getChildFile ("locked.aex");
    file.create();

    if (! setImmutable (file, true))
        GTEST_SKIP() << "This file system or process cannot make a file immutable";

    const bool needs = HfInstallerThread::needsPrivileges (taskFor (nullptr));
    setImmutable (file, false);
    EXPECT_TRUE (needs);
}
