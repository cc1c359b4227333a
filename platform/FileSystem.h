#pragma once

#include "platform/ErrorCodes.h"
#include "platform/ServiceReplacement.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>
#include <string>

// The file-system calls of the engine that JUCE does not make the way the installer needs:
// which volume a folder lies on, replacing a file so that the old one stays until the new
// one is complete, and whether a file is read-only. The logic above this service is the
// same on every platform; a test can put a scripted stand-in in its place.
namespace platform
{
    class FileSystem
    {
    public:
        virtual ~FileSystem() = default;

        // A key of the volume that an existing folder lies on: the same for every folder of
        // that volume, different between volumes, whatever their labels. Windows: the
        // volume's root (GetVolumePathNameW). Linux: the device id. Empty when the folder
        // cannot be examined.
        virtual std::string getVolumeKey (const juce::File& folder) = 0;

        // The bytes free for the calling user on the volume that an existing folder lies
        // on; 0 when it cannot be told.
        virtual juce::int64 getBytesFreeOnVolume (const juce::File& folder) = 0;

        // Renames a file to the target's path on the same volume, replacing a file that
        // stands there in one step, never deleting it first (rename; MoveFileExW with
        // MOVEFILE_REPLACE_EXISTING). A Windows error code: 0, errorNotSameDevice when the
        // two lie on different volumes, or another.
        virtual std::uint32_t renameReplacing (const juce::File& source, const juce::File& target) = 0;

        // Creates the target as a new file, never opening one that stands there (nor a link:
        // errorFileExists), readable and writable by the calling user alone while it is
        // written (Linux; on Windows nobody else may open it meanwhile), copies the
        // source's bytes into it, checking every write, gives it the source's mode (Linux),
        // and flushes it to the disk before it closes it. Between two chunks of the copy it
        // asks shouldStop (when given); a true answer ends the copy with
        // errorOperationAborted. On any failure, on a stop, and when the calling thread is
        // ended by force during the copy (Linux), the new file is closed and removed. A
        // Windows error code.
        virtual std::uint32_t copyToNewFile (const juce::File& source, const juce::File& target,
                                             const std::function<bool()>& shouldStop) = 0;

        // Removes a file (not a folder); false when it could not.
        virtual bool deleteFile (const juce::File& file) = 0;

        // Whether the path names an existing file, not a folder, that is marked read-only.
        // Windows: its attributes alone (GetFileAttributesW), FILE_ATTRIBUTE_READONLY; a
        // reparse point is judged by its own attributes. Linux: a file (not a symbolic
        // link) whose mode grants write to nobody, or that is immutable or append-only;
        // this holds for root too. False for a missing path and for a folder.
        virtual bool isReadOnlyFile (const juce::File& file) = 0;
    };

    // The service in use: the system's, unless a replacement is installed.
    FileSystem& getFileSystem();

    // The system's own service (one per platform), whatever replacement is installed.
    FileSystem& getSystemFileSystem();

    // Installs a replacement (null: the system's again) and answers the one it replaces.
    FileSystem* setFileSystemReplacement (FileSystem* replacement);

    // Puts a replacement in place for the object's lifetime.
    using ScopedFileSystemReplacement = ScopedServiceReplacement<FileSystem, setFileSystemReplacement>;
}
