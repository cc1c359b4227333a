#include "platform/VersionInfo.h"
#include "platform/Utf16Text.h"

#include "platform/win32/WindowsHeaders.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

// The system's version-information calls (VERSION.dll) in their UTF-16 form: the narrow
// ones read paths and give texts in the active code page, which is UTF-8 only on
// Windows 10 1903 and later, and only for a program whose manifest asks for it.
//
// The buffer that getFileVersionInfo fills starts with an eight-byte header (a four-byte
// signature and N, the size that GetFileVersionInfoSizeW answered, little-endian),
// followed by the block of N bytes as GetFileVersionInfoW fills it, then a room of
// 2 * N + 4 bytes. verQueryValue answers a text found at offset o of the block as UTF-8
// at offset 2 * o of the room: UTF-8 takes at most 3 bytes where UTF-16 takes 2, so
// texts never overlap and a repeated query writes the same bytes again.
namespace platform
{
    namespace
    {
        constexpr std::uint8_t blockSignature[4] = { 'H', 'F', 'W', '8' };
        constexpr std::uint32_t headerSize = 8;

        std::uint32_t roomOffset (std::uint32_t blockSize) { return headerSize + blockSize; }
        std::uint32_t roomSize (std::uint32_t blockSize)   { return 2 * blockSize + 4; }

        // The whole buffer for a block of that size; 0 when it does not fit in 32 bits.
        std::uint32_t bufferSize (std::uint32_t blockSize)
        {
            constexpr auto largest = (std::numeric_limits<std::uint32_t>::max() - headerSize - 4) / 3;
            return blockSize > largest ? 0 : roomOffset (blockSize) + roomSize (blockSize);
        }

        std::wstring widen (const char* utf8)
        {
            return juce::String::fromUTF8 (utf8).toWideCharPointer();
        }

        std::uint32_t blockSizeOf (const std::wstring& path)
        {
            DWORD ignored = 0;
            return static_cast<std::uint32_t> (GetFileVersionInfoSizeW (path.c_str(), &ignored));
        }

        // The sub-blocks below \StringFileInfo hold texts; "\" and \VarFileInfo hold binary values.
        bool namesText (const char* subBlock)
        {
            return juce::String::fromUTF8 (subBlock).trimCharactersAtStart ("\\")
                       .upToFirstOccurrenceOf ("\\", false, false).equalsIgnoreCase ("StringFileInfo");
        }
    }

    std::uint32_t getFileVersionInfoSize (const char* path, std::uint32_t* handle)
    {
        if (handle != nullptr)
            *handle = 0;

        if (path == nullptr)
            return 0;

        const auto blockSize = blockSizeOf (widen (path));
        return blockSize == 0 ? 0 : bufferSize (blockSize);
    }

    // A buffer too small for the whole block is refused: the system's walk through a
    // truncated block would read past it.
    bool getFileVersionInfo (const char* path, std::uint32_t, std::uint32_t size, void* data)
    {
        if (path == nullptr || data == nullptr)
            return false;

        const auto widePath = widen (path);
        const auto blockSize = blockSizeOf (widePath);
        const auto needed = bufferSize (blockSize);

        if (blockSize == 0 || needed == 0 || needed > size)
            return false;

        auto* bytes = static_cast<std::uint8_t*> (data);

        if (! GetFileVersionInfoW (widePath.c_str(), 0, static_cast<DWORD> (blockSize), bytes + headerSize))
            return false;

        std::memcpy (bytes, blockSignature, sizeof (blockSignature));
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<std::uint8_t> (blockSize >> (8 * i));

        std::memset (bytes + roomOffset (blockSize), 0, roomSize (blockSize));
        return true;
    }

    bool verQueryValue (void* block, const char* subBlock, void** value, std::uint32_t* length)
    {
        if (block == nullptr || subBlock == nullptr || value == nullptr)
            return false;

        auto* bytes = static_cast<std::uint8_t*> (block);

        if (std::memcmp (bytes, blockSignature, sizeof (blockSignature)) != 0)
            return false;

        const auto blockSize = static_cast<std::uint32_t> (bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24);
        auto* versionBlock = bytes + headerSize;

        LPVOID found = nullptr;
        UINT foundLength = 0;

        if (VerQueryValueW (versionBlock, widen (subBlock).c_str(), &found, &foundLength) == 0 || found == nullptr)
            return false;

        auto* foundBytes = static_cast<std::uint8_t*> (found);

        if (foundBytes < versionBlock || foundBytes > versionBlock + blockSize)
            return false;

        const auto offset = static_cast<std::uint32_t> (foundBytes - versionBlock);

        if (! namesText (subBlock))
        {
            if (foundLength > blockSize - offset)
                return false;

            *value = found;
            if (length != nullptr)
                *length = static_cast<std::uint32_t> (foundLength);
            return true;
        }

        // foundLength counts WCHARs, with or without the null; the text ends at the first
        // null or at the block's end, whichever comes first.
        const auto numBytes = std::min<std::uint64_t> (2 * std::uint64_t (foundLength), blockSize - offset);
        const auto text = textFromUtf16 (found, static_cast<std::size_t> (numBytes));
        const auto utf8Size = static_cast<std::uint32_t> (text.getNumBytesAsUTF8()) + 1;

        if (std::uint64_t (2) * offset + utf8Size > roomSize (blockSize))
            return false;

        auto* out = bytes + roomOffset (blockSize) + 2 * offset;
        std::memcpy (out, text.toRawUTF8(), utf8Size);

        *value = out;
        if (length != nullptr)
            *length = utf8Size;
        return true;
    }
}
