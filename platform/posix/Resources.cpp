#include "platform/Resources.h"
#include "platform/posix/ResourceTable.h"

namespace platform
{
    ResourceHandle findResource (int id, int type)
    {
        for (int i = 0; i < hfResourceCount; ++i)
            if (hfResourceTable[i].id == id && hfResourceTable[i].type == type && hfResourceTable[i].begin != nullptr)
                return &hfResourceTable[i];

        return nullptr;
    }

    LoadedResource loadResource (ResourceHandle resource)
    {
        return resource;
    }

    const void* lockResource (LoadedResource loaded)
    {
        if (loaded == nullptr)
            return nullptr;

        return static_cast<const HfResourceEntry*> (loaded)->begin;
    }

    std::uint32_t sizeofResource (ResourceHandle resource)
    {
        if (resource == nullptr)
            return 0;

        auto* entry = static_cast<const HfResourceEntry*> (resource);
        return static_cast<std::uint32_t> (entry->end - entry->begin);
    }
}
