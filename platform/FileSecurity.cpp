#include "platform/FileSecurity.h"

#include <atomic>

// The choice between the system's service and a replacement, the same on every platform.
namespace platform
{
    namespace
    {
        std::atomic<FileSecurity*> replacementService { nullptr };
    }

    FileSecurity& getFileSecurity()
    {
        if (auto* replacement = replacementService.load())
            return *replacement;

        return getSystemFileSecurity();
    }

    FileSecurity* setFileSecurityReplacement (FileSecurity* replacement)
    {
        return replacementService.exchange (replacement);
    }
}
