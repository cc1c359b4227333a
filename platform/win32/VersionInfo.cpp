#include "platform/VersionInfo.h"

#include "platform/win32/WindowsHeaders.h"

// The system's version-information calls (VERSION.dll), with narrow paths and texts.
namespace platform
{
    std::uint32_t getFileVersionInfoSize (const char* path, std::uint32_t* handle)
    {
        DWORD ignored = 0;
        const auto size = GetFileVersionInfoSizeA (path, &ignored);

        if (handle != nullptr)
            *handle = 0;

        return static_cast<std::uint32_t> (size);
    }

    bool getFileVersionInfo (const char* path, std::uint32_t handle, std::uint32_t size, void* data)
    {
        return GetFileVersionInfoA (path, static_cast<DWORD> (handle), static_cast<DWORD> (size), data) != 0;
    }

    bool verQueryValue (void* block, const char* subBlock, void** value, std::uint32_t* length)
    {
        UINT valueLength = 0;
        LPVOID found = nullptr;

        if (VerQueryValueA (block, subBlock, &found, &valueLength) == 0)
            return false;

        if (value != nullptr)
            *value = found;

        if (length != nullptr)
            *length = static_cast<std::uint32_t> (valueLength);

        return true;
    }
}
