// Volumes and file replacement through the Windows file calls.
//
//  - A volume is keyed by its root as GetVolumePathNameW gives it ("C:\", "D:\", or the
//    folder a volume is mounted on), so that unlabelled volumes are told apart.
//  - Replacing is MoveFileExW with MOVEFILE_REPLACE_EXISTING and without
//    MOVEFILE_COPY_ALLOWED: the old file is never deleted first, and across volumes the
//    call answers ERROR_NOT_SAME_DEVICE instead of copying over the old file in place.
//  - A file is read-only by its attributes alone: FILE_ATTRIBUTE_READONLY on a file that
//    is no folder. (JUCE's File::hasWriteAccess also checks the file's access-control
//    list against the process token.) A reparse point is judged by its own attributes.
//  - A copy is made with CREATE_NEW and no sharing, so that nobody else opens it while it
//    is written, and FlushFileBuffers'ed before it is closed. It is made 1 MiB at a time,
//    and between two chunks the caller may stop it; a failed or stopped copy is closed
//    and deleted.

#include "platform/FileSystem.h"

#include "platform/win32/WindowsHeaders.h"

#include <vector>

namespace platform
{
    namespace
    {
        std::uint32_t lastError()
        {
            return static_cast<std::uint32_t> (GetLastError());
        }

        // JUCE writes a drive's root as "X:", which Windows reads as that drive's current folder.
        juce::String systemPath (const juce::File& file)
        {
            auto path = file.getFullPathName();
            return path.length() == 2 && path[1] == ':' ? path + "\\" : path;
        }

        class Handle
        {
        public:
            explicit Handle (HANDLE h) : handle (h) {}
            ~Handle() { if (isValid()) CloseHandle (handle); }

            Handle (const Handle&) = delete;
            Handle& operator= (const Handle&) = delete;

            bool isValid() const { return handle != INVALID_HANDLE_VALUE; }

            // Closes now, answering whether the close worked.
            bool close() { const bool closed = CloseHandle (handle) != 0; handle = INVALID_HANDLE_VALUE; return closed; }

            HANDLE handle;
        };

        class Win32FileSystem : public FileSystem
        {
        public:
            std::string getVolumeKey (const juce::File& folder) override
            {
                std::vector<wchar_t> root (MAX_PATH + 1);

                if (! GetVolumePathNameW (systemPath (folder).toWideCharPointer(), root.data(), (DWORD) root.size()))
                    return {};

                return juce::String (root.data()).toUpperCase().toStdString();
            }

            juce::int64 getBytesFreeOnVolume (const juce::File& folder) override
            {
                ULARGE_INTEGER availableToCaller {}, total {}, free {};

                if (! GetDiskFreeSpaceExW (systemPath (folder).toWideCharPointer(), &availableToCaller, &total, &free))
                    return 0;

                return static_cast<juce::int64> (availableToCaller.QuadPart);
            }

            std::uint32_t renameReplacing (const juce::File& source, const juce::File& target) override
            {
                if (! MoveFileExW (source.getFullPathName().toWideCharPointer(), target.getFullPathName().toWideCharPointer(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                    return lastError();

                return errorSuccess;
            }

            std::uint32_t copyToNewFile (const juce::File& source, const juce::File& target,
                                         const std::function<bool()>& shouldStop) override
            {
                Handle in (CreateFileW (source.getFullPathName().toWideCharPointer(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));

                if (! in.isValid())
                    return lastError();

                const auto path = target.getFullPathName();
                Handle out (CreateFileW (path.toWideCharPointer(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));

                if (! out.isValid())
                    return lastError();

                auto result = copyAndFlush (in.handle, out.handle, shouldStop);

                if (! out.close() && result == errorSuccess)
                    result = lastError();

                if (result != errorSuccess)
                    DeleteFileW (path.toWideCharPointer());

                return result;
            }

            bool deleteFile (const juce::File& file) override
            {
                return DeleteFileW (file.getFullPathName().toWideCharPointer()) != 0;
            }

            bool isReadOnlyFile (const juce::File& file) override
            {
                const auto attributes = GetFileAttributesW (systemPath (file).toWideCharPointer());

                return attributes != INVALID_FILE_ATTRIBUTES
                       && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0
                       && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
            }

        private:
            static std::uint32_t copyAndFlush (HANDLE in, HANDLE out, const std::function<bool()>& shouldStop)
            {
                LARGE_INTEGER size {};

                if (! GetFileSizeEx (in, &size))
                    return lastError();

                std::vector<char> buffer (1 << 20);
                LONGLONG copied = 0;

                for (;;)
                {
                    DWORD numRead = 0;

                    if (! ReadFile (in, buffer.data(), (DWORD) buffer.size(), &numRead, nullptr))
                        return lastError();

                    if (numRead == 0)
                        break;

                    DWORD written = 0;

                    if (! WriteFile (out, buffer.data(), numRead, &written, nullptr))
                        return lastError();

                    if (written != numRead)
                        return ERROR_WRITE_FAULT;

                    copied += numRead;

                    if (copied < size.QuadPart && shouldStop && shouldStop())
                        return errorOperationAborted;
                }

                if (copied != size.QuadPart)
                    return ERROR_WRITE_FAULT;

                if (! FlushFileBuffers (out))
                    return lastError();

                return errorSuccess;
            }
        };
    }

    FileSystem& getSystemFileSystem()
    {
        static Win32FileSystem system;
        return system;
    }
}
