// Fuzz target of the PE reader behind the version-information calls. The first byte
// of an input picks what the rest is: a PE image (even) or a bare VS_VERSIONINFO
// resource (odd), so that the walk of the version tree gets inputs of its own too.

#include "platform/VersionInfo.h"
#include "platform/posix/VersionInfoPe.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace
{
    const char* const subBlocks[] = {
        "\\StringFileInfo\\040904b0\\ProductVersion",
        "\\StringFileInfo\\040904b0\\CompanyName",
        "\\StringFileInfo\\040904b0",
        "\\StringFileInfo",
        "\\VarFileInfo\\Translation",
        "\\",
        "",
        "\\\\StringFileInfo\\\\040904B0\\\\productversion\\",
    };

    volatile std::uint8_t sink;

    // Queries every sub-block of a block of exactly its size, so that AddressSanitizer
    // sees any byte read or written beyond it, and reads each answer through.
    void queryAll (const platform::pe::Bytes& resource, std::uint32_t size)
    {
        std::unique_ptr<std::uint8_t[]> block (new std::uint8_t[size == 0 ? 1 : size]);

        if (! platform::pe::makeVersionBlock (resource, size, block.get()))
            return;

        for (int round = 0; round < 2; ++round)
        {
            for (auto* subBlock : subBlocks)
            {
                void* value = nullptr;
                std::uint32_t length = 0;

                if (platform::verQueryValue (block.get(), subBlock, &value, &length))
                {
                    auto* bytes = static_cast<const std::uint8_t*> (value);
                    std::uint8_t x = 0;
                    for (std::uint32_t i = 0; i < length; ++i)
                        x ^= bytes[i];
                    sink = x;
                }
            }
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;

    const auto* body = data + 1;
    const auto bodySize = size - 1;
    platform::pe::Bytes resource;

    if ((data[0] & 1) == 0)
    {
        // Copied, so the source's reads are checked against exactly these bytes.
        std::unique_ptr<std::uint8_t[]> image (new std::uint8_t[bodySize == 0 ? 1 : bodySize]);
        if (bodySize > 0)
            std::memcpy (image.get(), body, bodySize);

        auto found = platform::pe::findVersionResource (platform::pe::MemorySource (image.get(), bodySize));
        if (! found)
            return 0;

        resource = std::move (*found);
    }
    else
    {
        if (bodySize < 6)
            return 0;

        const std::size_t rootLength = std::size_t (body[0] | (body[1] << 8));
        resource.assign (body, body + (rootLength < bodySize ? rootLength : bodySize));
    }

    const auto fullSize = platform::pe::versionBlockSize (resource.size());
    queryAll (resource, fullSize);
    queryAll (resource, fullSize / 2 + data[0]);   // a buffer shorter than asked for
    return 0;
}
