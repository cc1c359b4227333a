#pragma once

#include "platform/ErrorCodes.h"

#include <cerrno>
#include <cstdint>

// The Windows error code nearest to an errno value, for the Linux stand-ins of the
// platform services. EPERM and EACCES are access denied.
namespace platform
{
    inline std::uint32_t windowsErrorFor (int error)
    {
        switch (error)
        {
            case 0:             return errorSuccess;
            case EPERM:
            case EACCES:        return errorAccessDenied;
            case ENOENT:        return errorFileNotFound;
            case ENOTDIR:       return 3;     // ERROR_PATH_NOT_FOUND
            case ENOMEM:        return 8;     // ERROR_NOT_ENOUGH_MEMORY
            case EXDEV:         return errorNotSameDevice;
            case EROFS:         return 19;    // ERROR_WRITE_PROTECT
            case EOPNOTSUPP:    return 50;    // ERROR_NOT_SUPPORTED
            case EEXIST:        return errorFileExists;
            case EINVAL:        return 87;    // ERROR_INVALID_PARAMETER
            case ENOSPC:        return 112;   // ERROR_DISK_FULL
            case EBUSY:         return 170;   // ERROR_BUSY
            case ENAMETOOLONG:  return 206;   // ERROR_FILENAME_EXCED_RANGE
            case EIO:           return 1117;  // ERROR_IO_DEVICE
            case ELOOP:         return 1921;  // ERROR_CANT_RESOLVE_FILENAME
            default:            return 31;    // ERROR_GEN_FAILURE
        }
    }
}
