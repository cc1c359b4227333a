#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <exception>

// The installer's error value: what went wrong, the archive entry concerned (extraction
// failures only) and a detail text.
class HfInstallerThreadException : public std::exception
{
public:
    enum ErrorType
    {
        None = 0,                    // no error; with the state Failed: a cancelled run
        UnexpectedError = 1,
        ExtractionFailed = 2,        // also: a destination needs privileged operations
        InvalidArchive = 3,
        StillInProgress = 4,
        DeleteFailed = 5,
        MoveFailed = 6,
        CreateDirectoryFailed = 7,
        NotEnoughDiskSpace = 8,
        PermissionsFileMissing = 9,
        PermissionsFailed = 10,
        InvalidTemporaryFolder = 11
    };

    HfInstallerThreadException (ErrorType errorType, const juce::String& detail);
    HfInstallerThreadException (const HfInstallerThreadException& other);
    HfInstallerThreadException& operator= (const HfInstallerThreadException& other);
    ~HfInstallerThreadException() override;

    juce::String getMessage() const;

    std::int32_t type;
    std::int32_t index = -1;
    juce::String message;
};

// Thrown when a destination can only be written with privileged operations.
enum HfPrivilegedOperationsException
{
    PrivilegedOperationsNeeded = 0
};
