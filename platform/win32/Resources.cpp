#include "platform/Resources.h"

#include "platform/win32/WindowsHeaders.h"

// The resources of the program's own module: the executable that started the process.
namespace platform
{
    ResourceHandle findResource (int id, int type)
    {
        return FindResourceA (nullptr, MAKEINTRESOURCEA (id), MAKEINTRESOURCEA (type));
    }

    LoadedResource loadResource (ResourceHandle resource)
    {
        if (resource == nullptr)
            return nullptr;

        return LoadResource (nullptr, static_cast<HRSRC> (const_cast<void*> (resource)));
    }

    const void* lockResource (LoadedResource loaded)
    {
        if (loaded == nullptr)
            return nullptr;

        return LockResource (const_cast<void*> (loaded));
    }

    std::uint32_t sizeofResource (ResourceHandle resource)
    {
        if (resource == nullptr)
            return 0;

        return static_cast<std::uint32_t> (SizeofResource (nullptr, static_cast<HRSRC> (const_cast<void*> (resource))));
    }
}
