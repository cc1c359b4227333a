#pragma once

#include <cstdint>

// The program's embedded resources, reached as the Windows resource calls reach them:
// find by integer id and type, load, lock to get the bytes, and ask for the size.
namespace platform
{
    constexpr int rtRcData = 10;

    using ResourceHandle = const void*;
    using LoadedResource = const void*;

    ResourceHandle findResource (int id, int type);       // null when there is none
    LoadedResource loadResource (ResourceHandle resource); // null on failure, also for a null handle
    const void* lockResource (LoadedResource loaded);      // address of the bytes, valid for the whole run
    std::uint32_t sizeofResource (ResourceHandle resource);  // 0 for a null handle
}
