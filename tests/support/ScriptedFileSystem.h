#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace testing_support
{
    // The system's file-system service with a record of every call and, where a test sets
    // them, scripted answers in place of the system's.
    class ScriptedFileSystem : public platform::FileSystem
    {
    public:
        // The volume answers: the system's unless set.
        std::function<std::string (const juce::File&)> volumeKey;
        std::optional<juce::int64> freeBytes;

        // Answers of the renames and the copies, in call order; an empty slot, or a call
        // past the end, goes to the system.
        std::vector<std::optional<std::uint32_t>> renameAnswers, copyAnswers;

        // Called at every call, on the calling thread.
        std::function<void()> onCall;

        // Where set, a copy that goes to the system asks this, between its chunks, in place
        // of the caller's stop predicate, which it is given to answer with.
        std::function<bool (const std::function<bool()>& callersShouldStop)> copyShouldStop;

        // "getVolumeKey <folder>", "renameReplacing <source> <target>", ...
        std::vector<juce::String> getCalls() const
        {
            const std::lock_guard<std::mutex> l (mutex);
            return calls;
        }

        std::string getVolumeKey (const juce::File& folder) override
        {
            note ("getVolumeKey", folder);
            return volumeKey ? volumeKey (folder) : system.getVolumeKey (folder);
        }

        juce::int64 getBytesFreeOnVolume (const juce::File& folder) override
        {
            note ("getBytesFreeOnVolume", folder);
            return freeBytes ? *freeBytes : system.getBytesFreeOnVolume (folder);
        }

        std::uint32_t renameReplacing (const juce::File& source, const juce::File& target) override
        {
            const auto answer = next (renames, renameAnswers);
            note ("renameReplacing", source, target);
            return answer ? *answer : system.renameReplacing (source, target);
        }

        std::uint32_t copyToNewFile (const juce::File& source, const juce::File& target,
                                     const std::function<bool()>& shouldStop) override
        {
            const auto answer = next (copies, copyAnswers);
            note ("copyToNewFile", source, target);

            if (answer)
                return *answer;

            if (! copyShouldStop)
                return system.copyToNewFile (source, target, shouldStop);

            return system.copyToNewFile (source, target, [&] { return copyShouldStop (shouldStop); });
        }

        bool deleteFile (const juce::File& file) override
        {
            note ("deleteFile", file);
            return system.deleteFile (file);
        }

        // Not recorded: the privilege test asks it of every file below a destination.
        bool isReadOnlyFile (const juce::File& file) override
        {
            return system.isReadOnlyFile (file);
        }

    private:
        std::optional<std::uint32_t> next (size_t& count, const std::vector<std::optional<std::uint32_t>>& answers)
        {
            const std::lock_guard<std::mutex> l (mutex);
            const auto i = count++;
            return i < answers.size() ? answers[i] : std::nullopt;
        }

        void note (const char* call, const juce::File& a, const juce::File& b = {})
        {
            {
                const std::lock_guard<std::mutex> l (mutex);
                calls.push_back (juce::String (call) + " " + a.getFullPathName()
                                 + (b == juce::File() ? juce::String() : " " + b.getFullPathName()));
            }

            if (onCall)
                onCall();
        }

        platform::FileSystem& system = platform::getSystemFileSystem();
        mutable std::mutex mutex;
        std::vector<juce::String> calls;
        size_t renames = 0, copies = 0;
    };
}
