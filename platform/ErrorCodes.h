#pragma once

#include <cstdint>

// The Windows error codes that the logic above the platform services tells apart.
namespace platform
{
    constexpr std::uint32_t errorSuccess = 0;
    constexpr std::uint32_t errorFileNotFound = 2;
    constexpr std::uint32_t errorAccessDenied = 5;
    constexpr std::uint32_t errorNotSameDevice = 17;
    constexpr std::uint32_t errorSharingViolation = 32;
    constexpr std::uint32_t errorFileExists = 80;
    constexpr std::uint32_t errorStoppedOnSymlink = 681;
    constexpr std::uint32_t errorOperationAborted = 995;
    constexpr std::uint32_t errorNotAllAssigned = 1300;
}
