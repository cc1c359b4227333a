#include "engine/InstallerFiles.h"

#if ! JUCE_WINDOWS
 #include <cerrno>
 #include <cstring>
 #include <fcntl.h>
 #include <sys/stat.h>
 #include <unistd.h>
 #include <vector>
#endif

namespace InstallerFiles
{
#if JUCE_WINDOWS

    std::string getVolumeKey (const juce::File& destination)
    {
        return destination.getVolumeLabel().toStdString();
    }

    juce::int64 getBytesFreeOnVolume (const juce::File& destination)
    {
        return destination.getBytesFreeOnVolume();
    }

    bool hasWriteAccess (const juce::File& file)
    {
        return file.hasWriteAccess();
    }

    juce::Result checkPrivateFolder (const juce::File&)
    {
        return juce::Result::ok();
    }

    juce::Result createPrivateFolder (const juce::File& folder)
    {
        return folder.createDirectory();
    }

    bool moveFile (const juce::File& source, const juce::File& target)
    {
        return source.moveFileTo (target);
    }

#else

    namespace
    {
        juce::File nearestExistingFolder (juce::File f)
        {
            while (! f.exists() && f.getParentDirectory() != f)
                f = f.getParentDirectory();

            return f;
        }

        juce::String describeErrno (int error)
        {
            return juce::String (std::strerror (error));
        }

        bool writeAll (int fd, const char* data, size_t size)
        {
            while (size > 0)
            {
                auto written = ::write (fd, data, size);

                if (written < 0)
                {
                    if (errno == EINTR)
                        continue;

                    return false;
                }

                data += written;
                size -= static_cast<size_t> (written);
            }

            return true;
        }

        // Copies a file's bytes and mode; false unless every byte reached the target.
        bool copyFileChecked (const juce::File& source, const juce::File& target)
        {
            const int in = ::open (source.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC);

            if (in < 0)
                return false;

            struct stat info {};
            bool ok = ::fstat (in, &info) == 0;
            int out = -1;

            if (ok)
            {
                out = ::open (target.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              info.st_mode & 0777);
                ok = out >= 0;
            }

            juce::int64 copied = 0;

            if (ok)
            {
                std::vector<char> buffer (1 << 20);

                for (;;)
                {
                    auto numRead = ::read (in, buffer.data(), buffer.size());

                    if (numRead < 0 && errno == EINTR)
                        continue;

                    if (numRead <= 0)
                    {
                        ok = numRead == 0;
                        break;
                    }

                    if (! writeAll (out, buffer.data(), static_cast<size_t> (numRead)))
                    {
                        ok = false;
                        break;
                    }

                    copied += numRead;
                }
            }

            if (out >= 0 && ::close (out) != 0)
                ok = false;

            ::close (in);
            return ok && copied == static_cast<juce::int64> (info.st_size);
        }
    }

    std::string getVolumeKey (const juce::File& destination)
    {
        struct stat info {};

        if (::stat (nearestExistingFolder (destination).getFullPathName().toRawUTF8(), &info) != 0)
            return {};

        return "device " + std::to_string (static_cast<unsigned long long> (info.st_dev));
    }

    juce::int64 getBytesFreeOnVolume (const juce::File& destination)
    {
        return nearestExistingFolder (destination).getBytesFreeOnVolume();
    }

    bool hasWriteAccess (const juce::File& file)
    {
        struct statx info {};

        if (::statx (AT_FDCWD, file.getFullPathName().toRawUTF8(), AT_SYMLINK_NOFOLLOW,
                     STATX_TYPE | STATX_MODE, &info) != 0)
            return true;

        if (S_ISDIR (info.stx_mode) || S_ISLNK (info.stx_mode))
            return true;

        if ((info.stx_mode & 0222) == 0)
            return false;

        const auto locked = static_cast<decltype (info.stx_attributes)> (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND);
        return (info.stx_attributes & info.stx_attributes_mask & locked) == 0;
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

    bool moveFile (const juce::File& source, const juce::File& target)
    {
        if (source == target)
            return true;

        if (! source.exists() || ! target.deleteFile())
            return false;

        if (::rename (source.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0)
            return true;

        if (errno != EXDEV)
            return false;

        if (! copyFileChecked (source, target))
        {
            target.deleteFile();
            return false;
        }

        if (! source.deleteFile())
        {
            target.deleteFile();
            return false;
        }

        return true;
    }

#endif
}
