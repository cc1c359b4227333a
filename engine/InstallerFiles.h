#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <string>

// The file and volume answers of the installer where JUCE's answer on Linux differs from
// the Windows one that the installer was designed for.
namespace InstallerFiles
{
    // The key of a destination's volume in the preparation's disk-space table, and that
    // volume's free bytes: the platform's answers for the nearest existing folder on the
    // destination's path (the destination itself, once it exists), so that every volume
    // is checked on its own whatever its label.
    std::string getVolumeKey (const juce::File& destination);
    juce::int64 getBytesFreeOnVolume (const juce::File& destination);

    // Whether the file can be replaced without privileged operations: false only for an
    // existing file that the platform marks read-only (platform::FileSystem::isReadOnlyFile).
    // Windows: a file, not a folder, with the read-only attribute; its access-control
    // list is not consulted (JUCE's File::hasWriteAccess checks it against the token).
    // Linux, where JUCE's access() test is always true for root: a file (not a symbolic
    // link) whose mode grants write to nobody, or that is immutable or append-only. A
    // missing path and a folder are writable.
    bool hasWriteAccess (const juce::File& file);

    // Checks that a folder is safe to keep the installer's temporary files in: on Linux a
    // real folder (no symbolic link), owned by the running user and writable by no one
    // else. A missing folder passes. The error names the folder.
    juce::Result checkPrivateFolder (const juce::File& folder);

    // Makes the folder when it is missing (on Linux with mode 0700, its parent as JUCE
    // makes folders), then checks it as checkPrivateFolder does.
    juce::Result createPrivateFolder (const juce::File& folder);

    enum class MoveOutcome
    {
        moved,
        oldFileKept,   // a file stands at the target and may not be replaced: it stays as it was
        failed,        // the file could not be moved; a file at the target stays as it was
        stopped        // shouldStop ended a copy across volumes: the source and a file at the target stay as they were
    };

    // Moves a file to the target's path. A file that stands there stays, byte for byte,
    // until the new one is complete in its place: on one volume the file is renamed over
    // it; across volumes it is first copied, checked and flushed, under a name of its own
    // in the target's folder, and that copy is renamed over it. A failed or stopped copy
    // is removed. shouldStop (when given) is asked between the chunks of such a copy.
    MoveOutcome moveFile (const juce::File& source, const juce::File& target,
                          const std::function<bool()>& shouldStop = {});
}
