#include "EngineTestSupport.h"

#include <chrono>
#include <thread>

using namespace engine_test;

namespace
{
    using Error = HfInstallerThreadException;

    struct InstallerThreadState : EngineTest
    {
        InstallationTask taskFor (std::shared_ptr<juce::ZipFile> archive, const juce::String& folder = "dest")
        {
            return InstallationTask (std::move (archive), (scratch / folder).getFullPathName(), true, false);
        }

        void expectStartRefused (HfInstallerThread* refusing = nullptr,
                                 const char* message = "Installation is still in progress")
        {
            try
            {
                (refusing != nullptr ? *refusing : *thread).start();
                ADD_FAILURE() << "start was not refused";
            }
            catch (const Error& e)
            {
                EXPECT_EQ (e.type, Error::StillInProgress);
                EXPECT_EQ (e.getMessage(), message);
            }
        }
    };
}

TEST (InstallerThreadException, ErrorTypesKeepTheirNumbersAndCopiesKeepEveryField)
{
    const std::vector<std::pair<Error::ErrorType, int>> table {
        { Error::None, 0 }, { Error::UnexpectedError, 1 }, { Error::ExtractionFailed, 2 }, { Error::InvalidArchive, 3 },
        { Error::StillInProgress, 4 }, { Error::DeleteFailed, 5 }, { Error::MoveFailed, 6 },
        { Error::CreateDirectoryFailed, 7 }, { Error::NotEnoughDiskSpace, 8 }, { Error::PermissionsFileMissing, 9 },
        { Error::PermissionsFailed, 10 }, { Error::InvalidTemporaryFolder, 11 },
    };

    for (auto& [type, number] : table)
        EXPECT_EQ ((int) type, number);

    Error original (Error::ExtractionFailed, "detail");
    original.index = 3;
    Error copy (original);
    Error assigned (Error::None, {});
    assigned = original;

    for (auto* e : { &copy, &assigned })
    {
        EXPECT_EQ (e->type, Error::ExtractionFailed);
        EXPECT_EQ (e->index, 3);
        EXPECT_EQ (e->getMessage(), "detail");
    }

    EXPECT_EQ ((int) PrivilegedOperationsNeeded, 0);
}

TEST_F (InstallerThreadState, ANewThreadIsReadyWithoutErrorAndRefusesToStartUnprepared)
{
    EXPECT_EQ (thread->getThreadName(), "HfInstallerThread");
    EXPECT_EQ (thread->getState(), HfInstallerThread::Ready);
    EXPECT_EQ (thread->getLastError().type, Error::None);
    EXPECT_TRUE (thread->getLastError().getMessage().isEmpty());

    expectStartRefused();
    EXPECT_FALSE (thread->isThreadRunning());
}

TEST_F (InstallerThreadState, AWorkerThatTheSystemCannotStartIsRefusedWithItsOwnDetail)
{
    UnstartableThread unstartable (&listener);
    unstartable.setTasks ({ taskFor (ZipWriter().file ("a.bin", "a").open()) });
    unstartable.prepare();

    expectStartRefused (&unstartable, "Detail: Could not start the installer thread");
    EXPECT_EQ (unstartable.getState(), HfInstallerThread::Ready);
    EXPECT_EQ (unstartable.getLastError().type, Error::None);
    EXPECT_FALSE (unstartable.isThreadRunning());
}

TEST_F (InstallerThreadState, StartIsRefusedAfterAFailedPreparation)
{
    thread->setTasks ({ taskFor (nullptr) });
    EXPECT_THROW (thread->prepare(), Error);

    expectStartRefused();
    EXPECT_EQ (thread->getState(), HfInstallerThread::Ready);
}

TEST_F (InstallerThreadState, StartIsRefusedWhileRunningAndAfterTheRunUntilPreparedAgain)
{
    ZipWriter writer;
    writer.file ("a.txt", "first").file ("b.txt", "second");
    GatedArchive gated (writer);
    gated.holdAtEntry (1);

    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive) }, gated));

    expectStartRefused();
    gated.stream->release();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());
    EXPECT_EQ (thread->getState(), HfInstallerThread::Succeeded);

    expectStartRefused();

    thread->prepare();
    EXPECT_EQ (thread->getState(), HfInstallerThread::Ready);
    EXPECT_EQ (thread->getProgress(), 0.0);
    listener.seen.clear();
    thread->start();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());
    EXPECT_EQ (thread->getState(), HfInstallerThread::Succeeded);
}

TEST_F (InstallerThreadState, CancelChangesOnlyARunningState)
{
    thread->cancel();
    EXPECT_EQ (thread->getState(), HfInstallerThread::Ready);

    for (int finalState : { HfInstallerThread::Succeeded, HfInstallerThread::Failed, HfInstallerThread::CancelRequested })
    {
        thread->setState (finalState);
        thread->cancel();
        EXPECT_EQ (thread->getState(), finalState);
    }

    ZipWriter writer;
    writer.file ("a.txt", "first").file ("b.txt", "second");
    GatedArchive gated (writer);
    gated.holdAtEntry (1);
    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive) }, gated));

    thread->cancel();
    EXPECT_EQ (thread->getState(), HfInstallerThread::CancelRequested);
    thread->cancel();
    EXPECT_EQ (thread->getState(), HfInstallerThread::CancelRequested);

    gated.stream->release();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());
}

TEST_F (InstallerThreadState, ProgressIsTheFractionOfThePlannedBytesExtracted)
{
    ZipWriter writer;
    writer.file ("a.bin", bytes (300)).file ("b.bin", bytes (100));
    GatedArchive gated (writer);
    gated.holdAtEntry (1);

    thread->setTasks ({ taskFor (gated.archive) });
    thread->prepare();
    EXPECT_EQ (thread->getTotalBytes(), 400);
    EXPECT_EQ (thread->getProgress(), 0.0);

    thread->start();
    ASSERT_TRUE (gated.stream->waitUntilReached());
    EXPECT_DOUBLE_EQ (thread->getProgress(), 0.75);

    // A cancel request shows the fraction reached; the entry being extracted still counts.
    thread->cancel();
    EXPECT_DOUBLE_EQ (thread->getProgress(), 0.75);

    gated.stream->release();
    ASSERT_NO_FATAL_FAILURE (waitForEnd());
    EXPECT_EQ (thread->getState(), HfInstallerThread::Succeeded);
    EXPECT_DOUBLE_EQ (thread->getProgress(), 1.0);
}

TEST_F (InstallerThreadState, ProgressWhileACancelledRunEndsIsAFractionOrMinusOne)
{
    ZipWriter writer;
    for (int i = 0; i < 20; ++i)
        writer.file ("f" + juce::String (i), bytes (1000, i));

    GatedArchive gated (writer);
    gated.holdAtEntry (5);
    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive) }, gated));
    thread->cancel();
    gated.stream->release();

    while (thread->isThreadRunning())
    {
        const auto progress = thread->getProgress();
        EXPECT_TRUE (progress == -1.0 || (progress >= 0.0 && progress <= 1.0)) << progress;
    }

    ASSERT_NO_FATAL_FAILURE (waitForEnd());
    EXPECT_EQ (thread->getState(), HfInstallerThread::Failed);
    EXPECT_EQ (thread->getLastError().type, Error::None);
    EXPECT_DOUBLE_EQ (thread->getProgress(), 6.0 / 20.0);
}

TEST_F (InstallerThreadState, WithoutListenerUpdatesDoNothing)
{
    HfInstallerThread quiet (nullptr);
    quiet.setTasks ({ taskFor (ZipWriter().file ("a.txt", "text").open()) });
    quiet.prepare();
    quiet.start();

    ASSERT_TRUE (testing_support::runMessageLoopUntil ([&] { return ! quiet.isThreadRunning(); }));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (quiet.getState(), HfInstallerThread::Succeeded);
}

TEST_F (InstallerThreadState, DeletingTheThreadDuringARunStopsItBeforeTheNextEntryAndInstallsNothingOfThatTask)
{
    ZipWriter writer;
    writer.file ("a.txt", "first").file ("b.txt", "second").file ("c.txt", "third");
    GatedArchive gated (writer);
    gated.holdAtEntry (1);

    ASSERT_TRUE (startUntilHeld ({ taskFor (gated.archive) }, gated));

    // The entry being read is finished first; the destructor waits for that. The gate opens
    // once the destructor has asked the worker to exit.
    auto* running = thread.get();
    std::thread opener ([&]
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (10);

        while (! running->threadShouldExit() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();

        gated.stream->release();
    });
    thread.reset();
    opener.join();

    // The task stopped in its extraction: nothing of it is installed.
    EXPECT_FALSE ((scratch / "dest").exists());
    EXPECT_FALSE (temporaryRoot().exists());
}
