#include "platform/FileSecurity.h"

// The choice between the system's service and a replacement, the same on every platform.
namespace platform
{
    namespace
    {
        ReplaceableService<FileSecurity> service;
    }

    FileSecurity& getFileSecurity()
    {
        return service.get (getSystemFileSecurity());
    }

    FileSecurity* setFileSecurityReplacement (FileSecurity* replacement)
    {
        return service.replace (replacement);
    }
}
