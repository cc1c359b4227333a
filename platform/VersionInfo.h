#pragma once

#include <cstdint>

// The version information of an executable file, reached as the Windows calls reach it:
// ask for the size of the file's version information, copy it into a buffer of that
// size, then query a value of that buffer by its sub-block path. Paths are UTF-8 text,
// and a text value comes back as UTF-8 text, whatever the system's code page: on Windows
// the UTF-16 calls (GetFileVersionInfoSizeW, GetFileVersionInfoW, VerQueryValueW) do the
// work, with the path and the texts converted here.
namespace platform
{
    // The number of bytes that getFileVersionInfo needs for the file, or 0 when the file
    // is missing, unreadable, no PE image, or carries no version resource. Sets *handle
    // (when given) to 0.
    std::uint32_t getFileVersionInfoSize (const char* path, std::uint32_t* handle);

    // Copies the file's version information into data, a buffer of size bytes (the size
    // that getFileVersionInfoSize answered; a smaller buffer gets a truncated copy, or a
    // failure, and nothing is written past size). handle is ignored. False on failure.
    bool getFileVersionInfo (const char* path, std::uint32_t handle, std::uint32_t size, void* data);

    // Looks a value up in a buffer filled by getFileVersionInfo: "\" for the fixed file
    // information, or a path such as "\StringFileInfo\040904b0\ProductVersion" (keys
    // compared without regard to ASCII case). A text value is converted into the buffer
    // and answered as null-terminated UTF-8, *length counting its bytes with the
    // terminating null; other values are answered in place, *length in bytes. The value
    // stays valid as long as the buffer. False when the path names no value.
    bool verQueryValue (void* block, const char* subBlock, void** value, std::uint32_t* length);
}
