#pragma once

// Checks of an installer thread object destroyed while its worker is in the middle of a
// long step: the destructor must not reach the forced end of the worker.

#include "engine/HfInstallerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

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
}
