#pragma once

// Checks of an installer thread object destroyed while its worker is in the middle of a
// long step, shared by the Linux engine tests and the Windows ones (which compile only
// tests/engine/win32/): the destructor must not reach the forced end of the worker.

#include "engine/HfInstallerThread.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/ScriptedFileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>

namespace thread_stop
{
    // Notes whether juce::Thread::stopThread ended a worker by force: it logs that first.
    class ForcedEndWatch : private juce::Logger
    {
    public:
        ForcedEndWatch() : previous (juce::Logger::getCurrentLogger()) { juce::Logger::setCurrentLogger (this); }
        ~ForcedEndWatch() override { juce::Logger::setCurrentLogger (previous); }

        bool sawForcedEnd() const { return forced; }

    private:
        void logMessage (const juce::String& message) override
        {
            if (message.contains ("killing thread by force"))
                forced = true;

            juce::Logger::outputDebugString (message);
        }

        juce::Logger* previous;
        std::atomic<bool> forced { false };
    };

    // Destroys the thread object, and expects its destructor to have stopped the worker
    // without the forced end, well within the 2000 ms it waits (the ceiling is generous:
    // the worker needs one chunk's time).
    inline void expectDestroyedWithoutForcedEnd (std::unique_ptr<HfInstallerThread>& thread)
    {
        ForcedEndWatch watch;
        const auto start = std::chrono::steady_clock::now();
        thread.reset();
        const auto elapsed = std::chrono::steady_clock::now() - start;

        EXPECT_FALSE (watch.sawForcedEnd()) << "the worker was ended by force";
        EXPECT_LT (std::chrono::duration_cast<std::chrono::milliseconds> (elapsed).count(), 1500);
    }

    // The move of an update over an old plug-in in the destination folder, held in the
    // middle of its copy across volumes. The file-system service makes the move copy (its
    // first rename answers that the volumes differ) and holds the system's real copy at its
    // first chunk boundary until release answers true, asked on the worker's thread. The
    // run has a second task, into a sibling folder. On every way out, this object destroys
    // the thread object first, so that the worker has stopped before the service it calls goes.
    struct HeldCopyAcrossVolumes
    {
        HeldCopyAcrossVolumes (std::unique_ptr<HfInstallerThread>& threadToRun, const juce::File& destinationFolder,
                               std::function<bool()> releaseWhen)
            : destination (destinationFolder), thread (threadToRun), release (std::move (releaseWhen))
        {
            old.fillWith ('o');
            juce::Random (9).fillBitsRandomly (fresh.getData(), fresh.getSize());

            juce::MemoryOutputStream zip;
            juce::ZipFile::Builder builder;
            builder.addEntry (new juce::MemoryInputStream (fresh, false), 0, "Vistrel.aex", juce::Time());
            builder.writeToStream (zip, nullptr);
            archive = std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zip.getMemoryBlock(), true), true);

            fileSystem.renameAnswers = { platform::errorNotSameDevice };
            fileSystem.copyShouldStop = [this] (const std::function<bool()>& callersShouldStop)
            {
                if (std::exchange (first, false))
                {
                    // What lies beside the plug-in now: the copy, with its first chunk.
                    for (auto& f : destination.findChildFiles (juce::File::findFiles, false, "*"))
                        if (f != plugin)
                            copiedWhenHeld = f.getSize();

                    held = true;
                    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (30);

                    while (! release() && std::chrono::steady_clock::now() < deadline)
                        juce::Thread::sleep (1);
                }

                return callersShouldStop();
            };
        }

        ~HeldCopyAcrossVolumes() { thread.reset(); }

        // Puts the old plug-in in place, starts the run and waits until its copy is held.
        void startHeld()
        {
            ASSERT_TRUE (destination.createDirectory().wasOk());
            ASSERT_TRUE (plugin.replaceWithData (old.getData(), old.getSize()));

            thread->setTasks ({ InstallationTask (archive, destination.getFullPathName(), true, false),
                                InstallationTask (archive, second.getFullPathName(), true, false) });
            thread->prepare();
            thread->start();

            ASSERT_TRUE (testing_support::runMessageLoopUntil ([&] { return held || ! thread->isThreadRunning(); }, 60000));
            ASSERT_TRUE (held) << "the run ended without copying: " << thread->getLastError().getMessage();
            ASSERT_GT (copiedWhenHeld.load(), 0) << "no copy in the middle of its writing";
            ASSERT_LT (copiedWhenHeld.load(), (juce::int64) fresh.getSize());
        }

        // The destination folder holds the plug-in with this content and nothing else.
        void expectOnlyThePlugin (const juce::MemoryBlock& content) const
        {
            juce::MemoryBlock kept;
            EXPECT_TRUE (plugin.loadFileAsData (kept));
            EXPECT_TRUE (kept == content) << (content == old ? "the old plug-in changed" : "the update is not installed whole");
            EXPECT_EQ (destination.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "a copy was left beside it";
        }

        const juce::File destination, plugin { destination.getChildFile ("Vistrel.aex") },
                         second { destination.getSiblingFile ("Second") };
        juce::MemoryBlock old { 20000 }, fresh { 3 * 1024 * 1024 + 1000 };
        std::shared_ptr<juce::ZipFile> archive;

    private:
        std::unique_ptr<HfInstallerThread>& thread;
        std::function<bool()> release;
        std::atomic<bool> held { false };
        std::atomic<juce::int64> copiedWhenHeld { -1 };
        bool first = true;
        testing_support::ScriptedFileSystem fileSystem;
        platform::ScopedFileSystemReplacement replacement { fileSystem };
    };

    // The thread object destroyed while its worker is held in the middle of a copy across
    // volumes: the old plug-in stays byte for byte, no copy is left beside it, the run goes
    // no further and removes its temporary folder.
    inline void expectDestroyingTheThreadMidCopyKeepsTheOldFile (std::unique_ptr<HfInstallerThread>& thread,
                                                                 const juce::File& destination)
    {
        HeldCopyAcrossVolumes copy (thread, destination, [] { return juce::Thread::currentThreadShouldExit(); });

        ASSERT_NO_FATAL_FAILURE (copy.startHeld());
        expectDestroyedWithoutForcedEnd (thread);

        copy.expectOnlyThePlugin (copy.old);
        EXPECT_FALSE (copy.second.exists());
        EXPECT_FALSE (HfInstallerThread::getTemporaryFolder().exists());
    }
}
