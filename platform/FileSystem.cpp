#include "platform/FileSystem.h"

// The choice between the system's service and a replacement, the same on every platform.
namespace platform
{
    namespace
    {
        ReplaceableService<FileSystem> service;
    }

    FileSystem& getFileSystem()
    {
        return service.get (getSystemFileSystem());
    }

    FileSystem* setFileSystemReplacement (FileSystem* replacement)
    {
        return service.replace (replacement);
    }
}
