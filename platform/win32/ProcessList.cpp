#include "platform/ProcessList.h"

#include "platform/win32/WindowsHeaders.h"
#include <tlhelp32.h>

// The process snapshot, walked with the narrow-text calls.
namespace platform
{
    std::vector<std::string> getRunningProcessNames()
    {
        std::vector<std::string> names;

        auto snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPPROCESS, 0);

        if (snapshot == INVALID_HANDLE_VALUE)
            return names;

        PROCESSENTRY32 entry {};
        static_assert (sizeof (entry.szExeFile[0]) == 1, "the narrow-text entry");
        static_assert (sizeof (PROCESSENTRY32) == 304, "the entry's size that the walk announces");
        entry.dwSize = sizeof (entry);

        for (auto more = Process32First (snapshot, &entry); more; more = Process32Next (snapshot, &entry))
        {
            // szExeFile is null-terminated within its array; the bound keeps a bad entry in it.
            std::size_t length = 0;
            while (length < sizeof (entry.szExeFile) && entry.szExeFile[length] != 0)
                ++length;

            names.emplace_back (entry.szExeFile, length);
        }

        CloseHandle (snapshot);
        return names;
    }
}
