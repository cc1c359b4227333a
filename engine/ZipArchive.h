#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <optional>

// Archives to install from. juce::ZipFile keeps no CRC-32 of its entries; an archive
// opened here also carries the CRC-32 of every entry, read from its central directory,
// so that the extraction can check what it wrote.
namespace ZipArchive
{
    // Reads the archive where its bytes lie; they must outlive every copy of the pointer.
    std::shared_ptr<juce::ZipFile> open (const void* data, size_t size);

    // Takes the bytes into the archive object.
    std::shared_ptr<juce::ZipFile> open (juce::MemoryBlock data);

    std::shared_ptr<juce::ZipFile> open (const juce::File& file);

    // The CRC-32 stored for an entry; none for an archive that was not opened here.
    std::optional<juce::uint32> getEntryCrc32 (const std::shared_ptr<juce::ZipFile>& archive, int index);

    // An entry's path below a target folder, as the archive stores it (on Linux with
    // backslashes read as separators).
    juce::String getEntryPath (const juce::ZipFile::ZipEntry& entry);

    // Whether the entry names a folder rather than a file.
    bool isFolderEntry (const juce::ZipFile::ZipEntry& entry);

    // What extractEntry answers: the entry was extracted, it was stopped on request, or it
    // failed with a reason.
    class ExtractionOutcome
    {
    public:
        ExtractionOutcome (juce::Result r) : result (std::move (r)) {}
        static ExtractionOutcome stoppedOnRequest() { ExtractionOutcome o (juce::Result::ok()); o.stopped = true; return o; }

        bool wasStopped() const     { return stopped; }
        bool failed() const         { return result.failed(); }
        juce::String getErrorMessage() const { return result.getErrorMessage(); }

    private:
        juce::Result result;
        bool stopped = false;
    };

    // Extracts one entry below the target folder, replacing a file that stands there, as
    // juce::ZipFile::uncompressEntry does, and checks the outcome: every write, the size
    // of the file, and its CRC-32 when one is known. A failed file is removed. Entries
    // outside the target folder and symbolic links are refused. Between two chunks of the
    // entry's data it asks shouldStop (when given); on a true answer it closes and removes
    // what it wrote, and answers stopped.
    ExtractionOutcome extractEntry (juce::ZipFile& archive, int index, const juce::File& targetFolder,
                                    std::optional<juce::uint32> expectedCrc32, const std::function<bool()>& shouldStop);
}
