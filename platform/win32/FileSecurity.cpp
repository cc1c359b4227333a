// File security through the Windows security calls: security identifiers, explicit
// access entries turned into a list (SetEntriesInAclA), the list or the owner set through
// a handle of the file itself, never of a reparse point (SetSecurityInfo), and the process
// token's privileges.

#include "platform/FileSecurity.h"

#include "platform/win32/WindowsHeaders.h"
#include <aclapi.h>

#include <cstring>
#include <vector>

namespace platform
{
    namespace
    {
        class Win32FileSecurity : public FileSecurity
        {
        public:
            bool allocateSid (const SidAuthority& authority, std::uint8_t subAuthorityCount,
                              const std::uint32_t (&subAuthorities)[8], SecurityId& sid) override
            {
                SID_IDENTIFIER_AUTHORITY windowsAuthority;
                static_assert (sizeof (windowsAuthority.Value) == sizeof (authority.value), "six bytes");
                std::memcpy (windowsAuthority.Value, authority.value, sizeof (windowsAuthority.Value));

                PSID allocated = nullptr;

                if (! AllocateAndInitializeSid (&windowsAuthority, subAuthorityCount,
                                                subAuthorities[0], subAuthorities[1], subAuthorities[2], subAuthorities[3],
                                                subAuthorities[4], subAuthorities[5], subAuthorities[6], subAuthorities[7],
                                                &allocated))
                    return false;

                sid = allocated;
                return true;
            }

            void freeSid (SecurityId sid) override
            {
                FreeSid (sid);
            }

            std::uint32_t setEntriesInAcl (const ExplicitAccess* entries, std::uint32_t count, AccessList& list) override
            {
                // Zero-filled: a single trustee (NO_MULTIPLE_TRUSTEE) with no multiple trustee.
                std::vector<EXPLICIT_ACCESS_A> windowsEntries (count);
                std::memset (windowsEntries.data(), 0, windowsEntries.size() * sizeof (EXPLICIT_ACCESS_A));

                for (std::uint32_t i = 0; i < count; ++i)
                {
                    auto& e = windowsEntries[i];
                    e.grfAccessPermissions = entries[i].accessPermissions;
                    e.grfAccessMode = SET_ACCESS;
                    e.grfInheritance = NO_INHERITANCE;
                    e.Trustee.TrusteeForm = TRUSTEE_IS_SID;
                    e.Trustee.TrusteeType = entries[i].trusteeType == TrusteeType::wellKnownGroup ? TRUSTEE_IS_WELL_KNOWN_GROUP
                                                                                                  : TRUSTEE_IS_GROUP;
                    e.Trustee.ptstrName = static_cast<LPSTR> (entries[i].trustee);
                }

                PACL created = nullptr;
                const auto result = SetEntriesInAclA (count, windowsEntries.data(), nullptr, &created);

                if (result == ERROR_SUCCESS)
                    list = created;

                return static_cast<std::uint32_t> (result);
            }

            void freeAccessList (AccessList list) override
            {
                LocalFree (list);
            }

            std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what,
                                                SecurityId owner, AccessList dacl) override
            {
                // A reparse point at the path is refused. Opened with FILE_FLAG_OPEN_REPARSE_POINT,
                // the handle is of the path itself, never of what a link there points to,
                // also should one take the file's place after the test.
                const auto attributes = GetFileAttributesW (path);

                if (attributes == INVALID_FILE_ATTRIBUTES)
                    return static_cast<std::uint32_t> (GetLastError());

                if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                    return errorStoppedOnSymlink;

                // A list is merged with what the file inherits, which reads its descriptor.
                DWORD access = 0;

                if ((what & daclSecurityInformation) != 0)  access |= WRITE_DAC | READ_CONTROL;
                if ((what & ownerSecurityInformation) != 0) access |= WRITE_OWNER;

                // Backup semantics: a folder of the archive is opened like a file.
                const auto file = CreateFileW (path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);

                if (file == INVALID_HANDLE_VALUE)
                    return static_cast<std::uint32_t> (GetLastError());

                const auto result = static_cast<std::uint32_t> (SetSecurityInfo (file, SE_FILE_OBJECT, static_cast<SECURITY_INFORMATION> (what),
                                                                                 owner, nullptr, static_cast<PACL> (dacl), nullptr));
                CloseHandle (file);
                return result;
            }

            bool openProcessToken (TokenHandle& token) override
            {
                HANDLE opened = nullptr;

                if (! OpenProcessToken (GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &opened))
                    return false;

                token = opened;
                return true;
            }

            void closeHandle (TokenHandle token) override
            {
                CloseHandle (token);
            }

            bool lookupPrivilegeValue (const char* name, PrivilegeId& id) override
            {
                LUID luid {};

                if (! LookupPrivilegeValueA (nullptr, name, &luid))
                    return false;

                id.lowPart = luid.LowPart;
                id.highPart = luid.HighPart;
                return true;
            }

            bool adjustTokenPrivilege (TokenHandle token, const PrivilegeId& id, std::uint32_t attributes) override
            {
                TOKEN_PRIVILEGES privileges {};
                privileges.PrivilegeCount = 1;
                privileges.Privileges[0].Luid.LowPart = id.lowPart;
                privileges.Privileges[0].Luid.HighPart = id.highPart;
                privileges.Privileges[0].Attributes = attributes;

                static_assert (sizeof (TOKEN_PRIVILEGES) == 16, "one privilege");
                return AdjustTokenPrivileges (token, FALSE, &privileges, sizeof (TOKEN_PRIVILEGES), nullptr, nullptr) != 0;
            }

            std::uint32_t getLastError() override
            {
                return static_cast<std::uint32_t> (GetLastError());
            }
        };

    }

    FileSecurity& getSystemFileSecurity()
    {
        static Win32FileSecurity system;
        return system;
    }
}
