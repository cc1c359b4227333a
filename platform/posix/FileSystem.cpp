// Volumes and file replacement over POSIX calls.
//
//  - A volume is a device: its key is the device id of the folder (JUCE has no volume
//    labels here, and every volume would share the empty one).
//  - A file is read-only when its mode grants write to nobody, or it is immutable or
//    append-only (statx, without following a link): JUCE's access() test is always
//    true for root.
//  - Replacing is rename(2), which puts the new file in the old one's place in one step.
//  - A copy is made with O_EXCL | O_NOFOLLOW and mode 0600, given the source's mode once
//    every byte is in, and fsync'ed before it is closed. It is made 1 MiB at a time, and
//    between two chunks the caller may stop it. The descriptor and the new file are owned
//    by an object whose destructor closes and removes them: it runs on every failure and
//    stop, and also when the thread is ended by force in the middle of the copy
//    (pthread_cancel at a read, write or fsync unwinds the stack and runs destructors).

#include "platform/FileSystem.h"
#include "platform/posix/WindowsErrors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform
{
    namespace
    {
        class Descriptor
        {
        public:
            explicit Descriptor (int fileDescriptor) : fd (fileDescriptor) {}
            ~Descriptor() { if (fd >= 0) ::close (fd); }

            Descriptor (const Descriptor&) = delete;
            Descriptor& operator= (const Descriptor&) = delete;

            // Closes now, answering whether the close reported no error.
            bool close() { const auto result = ::close (fd); fd = -1; return result == 0; }

            int fd;
        };

        // A file being made: removed again unless kept.
        class NewFile
        {
        public:
            NewFile (std::string filePath, int fileDescriptor) : path (std::move (filePath)), descriptor (fileDescriptor) {}

            ~NewFile()
            {
                if (! kept)
                    ::unlink (path.c_str());
            }

            NewFile (const NewFile&) = delete;
            NewFile& operator= (const NewFile&) = delete;

            void keep() { kept = true; }

            std::string path;
            Descriptor descriptor;

        private:
            bool kept = false;
        };

        bool writeAll (int fd, const char* data, size_t size)
        {
            while (size > 0)
            {
                const auto written = ::write (fd, data, size);

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

        class PosixFileSystem : public FileSystem
        {
        public:
            std::string getVolumeKey (const juce::File& folder) override
            {
                struct stat info {};

                if (::stat (folder.getFullPathName().toRawUTF8(), &info) != 0)
                    return {};

                return "device " + std::to_string (static_cast<unsigned long long> (info.st_dev));
            }

            juce::int64 getBytesFreeOnVolume (const juce::File& folder) override
            {
                return folder.getBytesFreeOnVolume();
            }

            std::uint32_t renameReplacing (const juce::File& source, const juce::File& target) override
            {
                if (::rename (source.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
                    return windowsErrorFor (errno);

                return errorSuccess;
            }

            std::uint32_t copyToNewFile (const juce::File& source, const juce::File& target,
                                         const std::function<bool()>& shouldStop) override
            {
                Descriptor in (::open (source.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC));
                struct stat info {};

                if (in.fd < 0 || ::fstat (in.fd, &info) != 0)
                    return windowsErrorFor (errno);

                const auto path = target.getFullPathName().toStdString();
                const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);

                if (fd < 0)
                    return windowsErrorFor (errno);

                NewFile out (path, fd);
                std::vector<char> buffer (1 << 20);
                juce::int64 copied = 0;

                for (;;)
                {
                    const auto numRead = ::read (in.fd, buffer.data(), buffer.size());

                    if (numRead < 0 && errno == EINTR)
                        continue;

                    if (numRead < 0)
                        return windowsErrorFor (errno);

                    if (numRead == 0)
                        break;

                    if (! writeAll (out.descriptor.fd, buffer.data(), static_cast<size_t> (numRead)))
                        return windowsErrorFor (errno);

                    copied += numRead;

                    if (copied < static_cast<juce::int64> (info.st_size) && shouldStop && shouldStop())
                        return errorOperationAborted;
                }

                // A source that changed its length while it was read is no complete copy.
                if (copied != static_cast<juce::int64> (info.st_size))
                    return windowsErrorFor (EIO);

                if (::fchmod (out.descriptor.fd, info.st_mode & 0777) != 0 || ::fsync (out.descriptor.fd) != 0)
                    return windowsErrorFor (errno);

                if (! out.descriptor.close())
                    return windowsErrorFor (errno);

                out.keep();
                return errorSuccess;
            }

            bool deleteFile (const juce::File& file) override
            {
                return ::unlink (file.getFullPathName().toRawUTF8()) == 0;
            }

            bool isReadOnlyFile (const juce::File& file) override
            {
                struct statx info {};

                if (::statx (AT_FDCWD, file.getFullPathName().toRawUTF8(), AT_SYMLINK_NOFOLLOW,
                             STATX_TYPE | STATX_MODE, &info) != 0)
                    return false;

                if (S_ISDIR (info.stx_mode) || S_ISLNK (info.stx_mode))
                    return false;

                if ((info.stx_mode & 0222) == 0)
                    return true;

                const auto locked = static_cast<decltype (info.stx_attributes)> (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND);
                return (info.stx_attributes & info.stx_attributes_mask & locked) != 0;
            }
        };
    }

    FileSystem& getSystemFileSystem()
    {
        static PosixFileSystem system;
        return system;
    }
}
