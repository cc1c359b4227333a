#pragma once

#include <juce_core/juce_core.h>

#include <string>

// The file and volume answers of the installer where JUCE's answer on Linux differs from
// the Windows one that the installer was designed for.
namespace InstallerFiles
{
    // The key of a destination's volume in the preparation's disk-space table. Windows:
    // the volume label. Linux, where JUCE answers an empty label for every volume: the
    // device id of the nearest existing folder on the path, so that every volume is
    // checked on its own.
    std::string getVolumeKey (const juce::File& destination);

    // The free bytes of the destination's volume (on Linux: of that nearest existing folder).
    juce::int64 getBytesFreeOnVolume (const juce::File& destination);

    // Whether the file can be replaced without privileged operations. Windows: JUCE's
    // answer, false only for a file with the read-only attribute. Linux, where JUCE's
    // access() test is always true for root: false only for an existing file (not a
    // folder, not a symbolic link) whose mode grants write to nobody, or that is
    // immutable or append-only. A missing path and a folder are writable.
    bool hasWriteAccess (const juce::File& file);

    // Checks that a folder is safe to keep the installer's temporary files in: on Linux a
    // real folder (no symbolic link), owned by the running user and writable by no one
    // else. A missing folder passes. The error names the folder.
    juce::Result checkPrivateFolder (const juce::File& folder);

    // Makes the folder when it is missing (on Linux with mode 0700, its parent as JUCE
    // makes folders), then checks it as checkPrivateFolder does.
    juce::Result createPrivateFolder (const juce::File& folder);

    // juce::File::moveFileTo, except that a move to another volume checks every write of
    // its copy: JUCE's copy answers success for a copy that a full volume cut short.
    bool moveFile (const juce::File& source, const juce::File& target);
}
