#pragma once

#include "platform/ErrorCodes.h"
#include "platform/ServiceReplacement.h"

#include <cstdint>

// The Windows security calls that give an installed file its access-control list and
// its owner, and that adjust the process's take-ownership privilege. The logic above
// this service is the same on every platform; a test can put a scripted stand-in in
// its place.
namespace platform
{
    using SecurityId = void*;   // PSID
    using AccessList = void*;   // PACL
    using TokenHandle = void*;  // HANDLE

    struct PrivilegeId          // LUID
    {
        std::uint32_t lowPart = 0;
        std::int32_t highPart = 0;
    };

    struct SidAuthority         // SID_IDENTIFIER_AUTHORITY
    {
        std::uint8_t value[6];
    };

    // What a named-security call sets.
    constexpr std::uint32_t ownerSecurityInformation = 1;
    constexpr std::uint32_t daclSecurityInformation = 4;

    // Generic access rights.
    constexpr std::uint32_t genericRead = 0x80000000u;
    constexpr std::uint32_t genericWrite = 0x40000000u;
    constexpr std::uint32_t genericExecute = 0x20000000u;
    constexpr std::uint32_t genericAll = 0x10000000u;

    constexpr std::uint32_t privilegeEnabled = 2; // SE_PRIVILEGE_ENABLED

    enum class TrusteeType { group, wellKnownGroup };

    // One explicit entry of a new list: the trustee's identifier, its access rights, set
    // (SET_ACCESS), not inherited (NO_INHERITANCE).
    struct ExplicitAccess
    {
        SecurityId trustee = nullptr;
        TrusteeType trusteeType = TrusteeType::group;
        std::uint32_t accessPermissions = 0;
    };

    class FileSecurity
    {
    public:
        virtual ~FileSecurity() = default;

        // AllocateAndInitializeSid: false on failure; the identifier lives until freeSid.
        virtual bool allocateSid (const SidAuthority& authority, std::uint8_t subAuthorityCount,
                                  const std::uint32_t (&subAuthorities)[8], SecurityId& sid) = 0;
        virtual void freeSid (SecurityId sid) = 0;

        // SetEntriesInAcl with no old list: a Windows error code; the list lives until freeAccessList.
        virtual std::uint32_t setEntriesInAcl (const ExplicitAccess* entries, std::uint32_t count, AccessList& list) = 0;
        virtual void freeAccessList (AccessList list) = 0;

        // Sets the owner and/or the discretionary list of the file at the (wide) path, as
        // `what` says, on the file itself and never through a link: a symbolic link (on
        // Windows any reparse point) at the path answers errorStoppedOnSymlink and is left
        // as it is, and so is what it points to. A Windows error code: 0, 5 for access
        // denied, or another.
        virtual std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what,
                                                    SecurityId owner, AccessList dacl) = 0;

        // OpenProcessToken of the current process for adjusting privileges; false on failure.
        virtual bool openProcessToken (TokenHandle& token) = 0;
        virtual void closeHandle (TokenHandle token) = 0;

        // LookupPrivilegeValue on the local system; false on failure.
        virtual bool lookupPrivilegeValue (const char* name, PrivilegeId& id) = 0;

        // AdjustTokenPrivileges for one privilege: true when the call worked; getLastError
        // then answers errorNotAllAssigned when the token does not hold the privilege.
        virtual bool adjustTokenPrivilege (TokenHandle token, const PrivilegeId& id, std::uint32_t attributes) = 0;

        // The calling thread's last error code.
        virtual std::uint32_t getLastError() = 0;
    };

    // The service in use: the system's, unless a replacement is installed.
    FileSecurity& getFileSecurity();

    // The system's own service (one per platform), whatever replacement is installed.
    FileSecurity& getSystemFileSecurity();

    // Installs a replacement (null: the system's again) and answers the one it replaces.
    FileSecurity* setFileSecurityReplacement (FileSecurity* replacement);

    // Puts a replacement in place for the object's lifetime.
    using ScopedFileSecurityReplacement = ScopedServiceReplacement<FileSecurity, setFileSecurityReplacement>;
}
