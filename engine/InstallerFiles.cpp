#include "engine/InstallerFiles.h"

#include "platform/FileSystem.h"

#if ! JUCE_WINDOWS
 #include <cerrno>
 #include <cstring>
 #include <sys/stat.h>
 #include <unistd.h>
#endif

namespace InstallerFiles
{
    namespace
    {
        juce::File nearestExistingFolder (juce::File f)
        {
            while (! f.isDirectory() && f.getParentDirectory() != f)
                f = f.getParentDirectory();

            return f;
        }

        // Removes a copy unless it was put in place, also when the stack is unwound past it.
        class ScopedCopy
        {
        public:
            ScopedCopy (platform::FileSystem& fs, const juce::File& f) : fileSystem (fs), file (f) {}
            ~ScopedCopy() { if (! placed) fileSystem.deleteFile (file); }

            ScopedCopy (const ScopedCopy&) = delete;
            ScopedCopy& operator= (const ScopedCopy&) = delete;

            void setPlaced() { placed = true; }

        private:
            platform::FileSystem& fileSystem;
            juce::File file;
            bool placed = false;
        };

        MoveOutcome outcomeOfFailedReplace (std::uint32_t code, bool replacing)
        {
            const bool refused = code == platform::errorAccessDenied || code == platform::errorSharingViolation;
            return replacing && refused ? MoveOutcome::oldFileKept : MoveOutcome::failed;
        }
    }

    std::string getVolumeKey (const juce::File& destination)
    {
        return platform::getFileSystem().getVolumeKey (nearestExistingFolder (destination));
    }

    juce::int64 getBytesFreeOnVolume (const juce::File& destination)
    {
        return platform::getFileSystem().getBytesFreeOnVolume (nearestExistingFolder (destination));
    }

    MoveOutcome moveFile (const juce::File& source, const juce::File& target, const std::function<bool()>& shouldStop)
    {
        if (source == target)
            return MoveOutcome::moved;

        if (! source.existsAsFile())
            return MoveOutcome::failed;

        auto& fileSystem = platform::getFileSystem();
        const bool replacing = target.existsAsFile();
        auto code = fileSystem.renameReplacing (source, target);

        if (code == platform::errorSuccess)
            return MoveOutcome::moved;

        if (code != platform::errorNotSameDevice)
            return outcomeOfFailedReplace (code, replacing);

        // Across volumes: a hidden name beside the target, of a random part, made exclusively.
        juce::File copy;

        for (int attempt = 0; attempt < 8 && (attempt == 0 || code == platform::errorFileExists); ++attempt)
        {
            copy = target.getSiblingFile ("." + target.getFileName() + "." + juce::String::toHexString (juce::Random().nextInt64())
                                          + ".part");
            code = fileSystem.copyToNewFile (source, copy, shouldStop);
        }

        // Only a stop that was asked for: the system's own "aborted" is a failure.
        if (code == platform::errorOperationAborted && shouldStop && shouldStop())
            return MoveOutcome::stopped;

        if (code != platform::errorSuccess)
            return MoveOutcome::failed;

        ScopedCopy scopedCopy (fileSystem, copy);
        code = fileSystem.renameReplacing (copy, target);

        if (code != platform::errorSuccess)
            return outcomeOfFailedReplace (code, replacing);

        scopedCopy.setPlaced();

        // What stays of the source is in the task folder, which the run's clean-up removes.
        fileSystem.deleteFile (source);
        return MoveOutcome::moved;
    }

    bool hasWriteAccess (const juce::File& file)
    {
        return ! platform::getFileSystem().isReadOnlyFile (file);
    }

#if JUCE_WINDOWS

    juce::Result checkPrivateFolder (const juce::File&)
    {
        return juce::Result::ok();
    }

    juce::Result createPrivateFolder (const juce::File& folder)
    {
        return folder.createDirectory();
    }

#else

    namespace
    {
        juce::String describeErrno (int error)
        {
            return juce::String (std::strerror (error));
        }
    }

    juce::Result checkPrivateFolder (const juce::File& folder)
    {
        const auto path = folder.getFullPathName();
        struct stat info {};

        if (::lstat (path.toRawUTF8(), &info) != 0)
        {
            if (errno == ENOENT)
                return juce::Result::ok();

            return juce::Result::fail ("Could not examine the temporary folder " + path + ": " + describeErrno (errno));
        }

        if (S_ISLNK (info.st_mode))
            return juce::Result::fail ("The temporary folder " + path + " is a symbolic link");

        if (! S_ISDIR (info.st_mode))
            return juce::Result::fail ("The temporary folder " + path + " is not a folder");

        if (info.st_uid != ::geteuid())
            return juce::Result::fail ("The temporary folder " + path + " belongs to another user");

        if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return juce::Result::fail ("The temporary folder " + path + " can be written by other users");

        return juce::Result::ok();
    }

    juce::Result createPrivateFolder (const juce::File& folder)
    {
        const auto parent = folder.getParentDirectory();

        if (! parent.isDirectory())
        {
            auto made = parent.createDirectory();

            if (made.failed())
                return made;
        }

        if (::mkdir (folder.getFullPathName().toRawUTF8(), 0700) != 0 && errno != EEXIST)
            return juce::Result::fail ("Could not create the temporary folder " + folder.getFullPathName()
                                       + ": " + describeErrno (errno));

        return checkPrivateFolder (folder);
    }

#endif
}
