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

    // The thread object destroyed while its worker is held in the middle of a copy across
    // volumes, the move of an update over an old plug-in in the destination folder. The
    // file-system service makes the move copy (its first rename answers that the volumes
    // differ) and holds the system's real copy at its first chunk boundary until the
    // destructor has asked the worker to exit. The old plug-in stays byte for byte, no copy
    // is left beside it, the run goes no further and removes its temporary folder.
    inline void expectDestroyingTheThreadMidCopyKeepsTheOldFile (std::unique_ptr<HfInstallerThread>& thread,
                                                                 const juce::File& destination)
    {
        juce::MemoryBlock old (20000), fresh (3 * 1024 * 1024 + 1000);
        old.fillWith ('o');
        juce::Random (9).fillBitsRandomly (fresh.getData(), fresh.getSize());

        const auto plugin = destination.getChildFile ("Vistrel.aex");
        ASSERT_TRUE (destination.createDirectory().wasOk());
        ASSERT_TRUE (plugin.replaceWithData (old.getData(), old.getSize()));

        juce::MemoryOutputStream zip;
        juce::ZipFile::Builder builder;
        builder.addEntry (new juce::MemoryInputStream (fresh, false), 0, "Vistrel.aex", juce::Time());
        builder.writeToStream (zip, nullptr);
        auto archive = std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zip.getMemoryBlock(), true), true);

        // What lay beside the plug-in when the copy was held: the copy, with its first chunk.
        std::atomic<bool> held { false };
        std::atomic<juce::int64> copiedWhenHeld { -1 };
        bool first = true;

        testing_support::ScriptedFileSystem fileSystem;
        fileSystem.renameAnswers = { platform::errorNotSameDevice };
        fileSystem.copyShouldStop = [&] (const std::function<bool()>& callersShouldStop)
        {
            if (std::exchange (first, false))
            {
                for (auto& f : destination.findChildFiles (juce::File::findFiles, false, "*"))
                    if (f != plugin)
                        copiedWhenHeld = f.getSize();

                held = true;
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (30);

                while (! juce::Thread::currentThreadShouldExit() && std::chrono::steady_clock::now() < deadline)
                    juce::Thread::sleep (1);
            }

            return callersShouldStop();
        };

        platform::ScopedFileSystemReplacement replacement (fileSystem);

        // On every way out, the worker is stopped before the service it calls goes.
        struct StopFirst
        {
            std::unique_ptr<HfInstallerThread>& t;
            ~StopFirst() { t.reset(); }
        } stopFirst { thread };

        // A second task, which the stopped run never reaches.
        const auto second = destination.getSiblingFile ("Second");
        thread->setTasks ({ InstallationTask (archive, destination.getFullPathName(), true, false),
                            InstallationTask (archive, second.getFullPathName(), true, false) });
        thread->prepare();
        thread->start();

        ASSERT_TRUE (testing_support::runMessageLoopUntil ([&] { return held || ! thread->isThreadRunning(); }, 60000));
        ASSERT_TRUE (held) << "the run ended without copying: " << thread->getLastError().getMessage();

        expectDestroyedWithoutForcedEnd (thread);

        EXPECT_GT (copiedWhenHeld.load(), 0) << "no copy in the middle of its writing";
        EXPECT_LT (copiedWhenHeld.load(), (juce::int64) fresh.getSize());

        juce::MemoryBlock kept;
        EXPECT_TRUE (plugin.loadFileAsData (kept));
        EXPECT_TRUE (kept == old) << "the old plug-in changed";
        EXPECT_EQ (destination.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "a copy was left beside it";
        EXPECT_FALSE (second.exists());
        EXPECT_FALSE (HfInstallerThread::getTemporaryFolder().exists());
    }
}
