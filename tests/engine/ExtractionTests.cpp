#include "EngineTestSupport.h"
#include "tests/engine/ThreadStopChecks.h"

#include <thread>

using namespace engine_test;

namespace
{
    using Error = HfInstallerThreadException;

    class ScopedEnvironment
    {
    public:
        ScopedEnvironment (const char* variableName, const char* value) : name (variableName)
        {
            if (auto* old = std::getenv (name))
                previous = old;

            ::setenv (name, value, 1);
        }

        ~ScopedEnvironment()
        {
            if (previous)
                ::setenv (name, previous->c_str(), 1);
            else
                ::unsetenv (name);
        }

    private:
        const char* name;
        std::optional<std::string> previous;
    };

    struct Extraction : EngineTest
    {
        InstallationTask taskFor (std::shared_ptr<juce::ZipFile> archive)
        {
            return InstallationTask (std::move (archive), (scratch / "dest").getFullPathName(), true, false);
        }

        // Prepares the thread for the task, so that getProgress tells what was counted.
        void prepareFor (const InstallationTask& task)
        {
            thread->setTasks ({ task });
            thread->prepare();
        }

        Error extractionError (const InstallationTask& task, int index)
        {
            try
            {
                thread->extractFiles (task, index);
            }
            catch (const Error& e)
            {
                return e;
            }

            return Error (Error::None, "nothing was thrown");
        }
    };
}

TEST_F (Extraction, TheTemporaryFolderNeedsANameAndAPathOfSixCharacters)
{
    ScopedEnvironment tmp ("TMPDIR", "/");

    struct Case { const char* name; bool accepted; };
    const Case cases[] = { { "", false }, { "abcd", false }, { "abcde", true } };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedHookValue name (TestApplication::get().temporaryFolderName, c.name);

        if (c.accepted)
        {
            EXPECT_EQ (HfInstallerThread::getTemporaryFolder().getFullPathName(), "/" + juce::String (c.name));
            continue;
        }

        try
        {
            HfInstallerThread::getTemporaryFolder();
            ADD_FAILURE() << "accepted";
        }
        catch (const Error& e)
        {
            EXPECT_EQ (e.type, Error::InvalidTemporaryFolder);
            EXPECT_TRUE (e.getMessage().isEmpty());
        }
    }
}

TEST_F (Extraction, TaskFoldersAreNumberedBelowTheTemporaryFolder)
{
    const auto root = HfInstallerThread::getTemporaryFolder();

    EXPECT_EQ (root, juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (temporaryFolderName()));
    EXPECT_EQ (HfInstallerThread::getTaskTemporaryFolder (0), root.getChildFile ("file-0"));
    EXPECT_EQ (HfInstallerThread::getTaskTemporaryFolder (10), root.getChildFile ("file-10"));
}

TEST_F (Extraction, ATemporaryFolderThatOthersCouldHaveMadeOrCanChangeIsRefused)
{
    const auto root = temporaryRoot();
    const auto elsewhere = scratch / "elsewhere";
    elsewhere.createDirectory();
    auto task = taskFor (ZipWriter().file ("a.txt", "text").open());

    struct Case
    {
        const char* what;
        std::function<void()> make;
        bool needsRoot;
    };

    const std::vector<Case> cases {
        { "symbolic link", [&] { elsewhere.createSymbolicLink (root, true); }, false },
        { "belongs to another user", [&] { ::mkdir (root.getFullPathName().toRawUTF8(), 0700);
                                           EXPECT_EQ (::chown (root.getFullPathName().toRawUTF8(), 65534, 65534), 0); }, true },
        { "can be written by other users", [&] { ::mkdir (root.getFullPathName().toRawUTF8(), 0700);
                                                 ::chmod (root.getFullPathName().toRawUTF8(), 0777); }, false },
        { "can be written by other users", [&] { ::mkdir (root.getFullPathName().toRawUTF8(), 0700);
                                                 ::chmod (root.getFullPathName().toRawUTF8(), 0770); }, false },
        { "is not a folder", [&] { root.replaceWithText ("x"); }, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        if (c.needsRoot && ::geteuid() != 0)
            continue;

        root.deleteRecursively();
        c.make();

        auto e = extractionError (task, 0);
        EXPECT_EQ (e.type, Error::InvalidTemporaryFolder);
        EXPECT_TRUE (e.getMessage().contains (root.getFullPathName())) << e.getMessage();
        EXPECT_TRUE (e.getMessage().contains (c.what)) << e.getMessage();

        // The run's clean-up asks for the folder too, and must not delete through it.
        EXPECT_THROW (HfInstallerThread::getTemporaryFolder(), Error);
        EXPECT_EQ (elsewhere.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
        root.deleteFile();
    }

    // One that an earlier run of this user made is used.
    root.deleteRecursively();
    ::mkdir (root.getFullPathName().toRawUTF8(), 0755);
    EXPECT_NO_THROW (thread->extractFiles (task, 0));
    EXPECT_EQ (readText (root.getChildFile ("file-0/a.txt")), "text");
}

TEST_F (Extraction, ExtractsIntoAFreshTaskFolderAndCountsEveryEntry)
{
    auto task = taskFor (ZipWriter()
                             .file ("top.txt", "top")
                             .folder ("empty/")
                             .file ("sub/inner.bin", bytes (5000))
                             .file ("stored.txt", "stored", false)
                             .open());
    prepareFor (task);
    EXPECT_EQ (thread->getTotalBytes(), 3 + 5000 + 6);

    const auto folder = HfInstallerThread::getTaskTemporaryFolder (2);
    temporaryRoot().deleteRecursively();
    thread->extractFiles (task, 2);

    // The temporary folder is made private to this user.
    struct stat info {};
    ASSERT_EQ (::stat (temporaryRoot().getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ (info.st_mode & 0777, 0700u);

    // What an earlier run left in the task folder goes before the entries come again.
    folder.getChildFile ("stale/left-over.txt").create();
    folder.getChildFile ("top.txt").replaceWithText ("changed");
    prepareFor (task);
    thread->extractFiles (task, 2);

    EXPECT_FALSE (folder.getChildFile ("stale").exists());
    EXPECT_EQ (readText (folder.getChildFile ("top.txt")), "top");
    EXPECT_TRUE (folder.getChildFile ("empty").isDirectory());
    EXPECT_EQ (folder.getChildFile ("sub/inner.bin").getSize(), 5000);
    EXPECT_EQ (readText (folder.getChildFile ("stored.txt")), "stored");
    EXPECT_DOUBLE_EQ (thread->getProgress(), 1.0);
}

TEST_F (Extraction, ACancelBeforeTheFirstEntryExtractsNothing)
{
    auto task = taskFor (ZipWriter().file ("a.txt", "text").open());
    thread->setState (HfInstallerThread::CancelRequested);

    EXPECT_NO_THROW (thread->extractFiles (task, 0));
    EXPECT_FALSE (HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("a.txt").exists());
}

TEST_F (Extraction, AStopBetweenTheChunksOfAnEntryRemovesWhatItWroteAndIsNoFailure)
{
    // Chunks of 256 KiB: one entry of five, one that fits in one and is never stopped.
    struct Case
    {
        size_t size;
        int stopAtCall;
        bool stopped;
        int calls;
    };

    const Case cases[] = { { 1024 * 1024 + 1, 2, true, 2 }, { 256 * 1024, 1, false, 0 } };
    const auto folder = scratch / "target";

    for (auto& c : cases)
    {
        SCOPED_TRACE ((int) c.size);
        const auto content = incompressibleBytes (c.size, 11);
        auto archive = ZipWriter().file ("Vistrel.aex", content).open();
        int calls = 0;

        auto outcome = ZipArchive::extractEntry (*archive, 0, folder, ZipArchive::getEntryCrc32 (archive, 0),
                                                 [&] { return ++calls >= c.stopAtCall; });

        EXPECT_EQ (outcome.wasStopped(), c.stopped);
        EXPECT_FALSE (outcome.failed()) << outcome.getErrorMessage();
        EXPECT_EQ (calls, c.calls);

        juce::MemoryBlock written;
        EXPECT_EQ (folder.getChildFile ("Vistrel.aex").loadFileAsData (written), ! c.stopped);
        EXPECT_TRUE (c.stopped || written == content);
    }
}

namespace
{
// One large entry of incompressible data, sixteen chunks, held a quarter of the way in.
struct LargeEntry : Extraction
{
    static constexpr juce::int64 size = 4 * 1024 * 1024;
    ZipWriter writer = std::move (ZipWriter().file ("Vistrel.aex", incompressibleBytes ((size_t) size, 12)));
    GatedArchive gated { writer };

    juce::File partialFile() const { return HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("Vistrel.aex"); }

    void startHeldInTheEntry()
    {
        gated.stream->closeAt (gated.inEntry (0, size / 4));
        ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive) }, gated));
        ASSERT_GT (partialFile().getSize(), 0) << "not in the middle of the entry";
    }
};
}

TEST_F (LargeEntry, DestroyingTheThreadInTheMiddleOfAnEntryStopsItAtTheNextChunkAndLeavesNothing)
{
    ASSERT_NO_FATAL_FAILURE (startHeldInTheEntry());

    // Once the destructor has asked the worker to exit, the gate lets it go and closes again
    // further into the same entry: a worker that went on to the entry's end would be held
    // there past the destructor's wait.
    auto* running = thread.get();
    std::thread opener ([&]
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (10);

        while (! running->threadShouldExit() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();

        gated.stream->moveGateTo (gated.inEntry (0, size * 3 / 4));
    });
    thread_stop::expectDestroyedWithoutForcedEnd (thread);
    opener.join();

    EXPECT_FALSE (temporaryRoot().exists());
    EXPECT_FALSE ((scratch / "dest").exists());
}

TEST_F (LargeEntry, ACancelInTheMiddleOfAnEntryStopsItAndInstallsNothing)
{
    ASSERT_NO_FATAL_FAILURE (startHeldInTheEntry());
    thread->cancel();
    gated.stream->release();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());

    EXPECT_EQ (thread->getState(), HfInstallerThread::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::None);
    EXPECT_EQ (thread->getProgress(), 0.0);
    EXPECT_FALSE ((scratch / "dest").exists());
    EXPECT_FALSE (temporaryRoot().exists());
}

TEST_F (Extraction, EntriesThatWouldLeaveTheTargetFolderWriteNothingOutsideIt)
{
    const auto outside = scratch / "outside.txt";
    const juce::String names[] = { "../outside.txt", outside.getFullPathName(), "a/../../outside.txt", "../../outside.txt" };
    const auto folder = HfInstallerThread::getTaskTemporaryFolder (0);

    for (auto& name : names)
    {
        SCOPED_TRACE (name);
        auto task = taskFor (ZipWriter().file ("fine.txt", "fine").file (name, "escaped").open());
        prepareFor (task);

        auto e = extractionError (task, 0);

        EXPECT_EQ (e.type, Error::ExtractionFailed);
        EXPECT_EQ (e.index, 1);
        EXPECT_EQ (e.getMessage(), "Entry " + name + " is outside the target directory  [Detail]: Could not uncompress Entry : "
                                       + name + " into : " + folder.getFullPathName());
        EXPECT_FALSE (outside.exists());
        EXPECT_FALSE (temporaryRoot().getChildFile ("outside.txt").exists());
        EXPECT_DOUBLE_EQ (thread->getProgress(), 4.0 / (4.0 + 7.0));
    }
}

TEST_F (Extraction, SymbolicLinkEntriesAreRefused)
{
    auto task = taskFor (ZipWriter().symlink ("link", "/etc/passwd").open());

    auto e = extractionError (task, 0);

    EXPECT_EQ (e.type, Error::ExtractionFailed);
    EXPECT_TRUE (e.getMessage().startsWith ("Entry link is a symbolic link")) << e.getMessage();
    EXPECT_FALSE (HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("link").isSymbolicLink());
}

TEST_F (Extraction, AnEntryThatDoesNotComeOutAsStoredFailsAndIsNotCounted)
{
    const auto content = bytes (20000, 7);
    const auto realCrc = (juce::uint32) crc32 (0, static_cast<const Bytef*> (content.getData()), (uInt) content.getSize());

    struct Case
    {
        const char* what;
        ZipWriter::Entry entry;
        const char* expected;
    };

    const std::vector<Case> cases {
        { "stored, wrong CRC-32", { "data.bin", content, false, realCrc ^ 1u, {}, 0 }, "does not match its CRC-32" },
        { "deflated, wrong CRC-32", { "data.bin", content, true, realCrc ^ 0x80000000u, {}, 0 }, "does not match its CRC-32" },
        { "shorter than stored", { "data.bin", content, true, {}, 30000u, 0 }, "wrong size" },
        { "longer than stored", { "data.bin", content, false, {}, 10000u, 0 }, "wrong size" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto task = taskFor (ZipWriter().file ("good.txt", "good").add (c.entry).open());
        prepareFor (task);

        auto e = extractionError (task, 0);
        const auto target = HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("data.bin");

        EXPECT_EQ (e.type, Error::ExtractionFailed);
        EXPECT_EQ (e.index, 1);
        EXPECT_TRUE (e.getMessage().contains (c.expected)) << e.getMessage();
        EXPECT_TRUE (e.getMessage().contains (target.getFullPathName())) << e.getMessage();
        EXPECT_TRUE (e.getMessage().endsWith ("  [Detail]: Could not uncompress Entry : data.bin into : "
                                              + target.getParentDirectory().getFullPathName()));
        EXPECT_FALSE (target.exists());
        EXPECT_DOUBLE_EQ (thread->getProgress(), 4.0 / (double) thread->getTotalBytes());
    }
}

TEST_F (Extraction, AFullVolumeFailsTheExtraction)
{
    temporaryRoot().deleteRecursively();
    ScopedTmpfs volume (temporaryRoot(), 64 * 1024, "0700");
    HF_REQUIRE_TMPFS (volume);

    const auto incompressible = incompressibleBytes (200 * 1024, 3);
    auto task = taskFor (ZipWriter().file ("small.txt", "small").file ("big.bin", incompressible).open());
    prepareFor (task);

    auto e = extractionError (task, 0);

    EXPECT_EQ (e.type, Error::ExtractionFailed);
    EXPECT_EQ (e.index, 1);
    EXPECT_TRUE (e.getMessage().startsWith ("Failed to write to target file: ")) << e.getMessage();
    EXPECT_TRUE (e.getMessage().contains ("No space left on device")) << e.getMessage();
    EXPECT_FALSE (HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("big.bin").exists());
    EXPECT_DOUBLE_EQ (thread->getProgress(), 5.0 / (double) thread->getTotalBytes());
}

TEST_F (Extraction, AnArchiveOpenedElsewhereHasNoChecksumsButStillExtracts)
{
    juce::ZipFile::Builder builder;
    builder.addEntry (new juce::MemoryInputStream (bytes (1000), true), 9, "a.bin", juce::Time::getCurrentTime());
    juce::MemoryOutputStream zipped;
    builder.writeToStream (zipped, nullptr);

    auto plain = std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zipped.getMemoryBlock(), true), true);
    auto opened = ZipArchive::open (zipped.getMemoryBlock());
    const auto block = bytes (1000);

    EXPECT_FALSE (ZipArchive::getEntryCrc32 (plain, 0).has_value());
    EXPECT_EQ (ZipArchive::getEntryCrc32 (opened, 0),
               std::optional<juce::uint32> ((juce::uint32) crc32 (0, static_cast<const Bytef*> (block.getData()), 1000)));
    EXPECT_FALSE (ZipArchive::getEntryCrc32 (opened, 1).has_value());

    thread->extractFiles (taskFor (plain), 0);
    EXPECT_EQ (HfInstallerThread::getTaskTemporaryFolder (0).getChildFile ("a.bin").loadFileAsString(),
               juce::String::fromUTF8 (static_cast<const char*> (block.getData()), 1000));
}
