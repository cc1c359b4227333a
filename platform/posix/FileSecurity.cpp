// File security over POSIX access-control lists and capabilities.
//
//  - Everyone (S-1-1-0) is the list's `other` entry; Administrators (S-1-5-32-544) is the
//    named-group entry of group id 0. The file's owner and owning group get what Everyone
//    gets, and the mask allows everything, so that the named group keeps its full rights.
//  - Making Administrators the owner changes the file's owner to user id 0.
//  - The take-ownership privilege is the capability CAP_CHOWN. Enabling it raises it in
//    the effective set of the calling thread; a thread that lacks it in its permitted set
//    gets ERROR_NOT_ALL_ASSIGNED.
//  - The list and the owner are set through a descriptor of the file itself, opened without
//    following a link; a symbolic link at the path is refused (ERROR_STOPPED_ON_SYMLINK).
//  - EPERM and EACCES are access denied (5); other errors map to the nearest Windows code.

#include "platform/FileSecurity.h"
#include "platform/posix/WindowsErrors.h"

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/capability.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform
{
    namespace
    {
        // Windows error codes beyond those the logic tells apart.
        constexpr std::uint32_t errorInvalidParameter = 87;
        constexpr std::uint32_t errorInvalidOwner = 1307;
        constexpr std::uint32_t errorNoSuchPrivilege = 1313;
        constexpr std::uint32_t errorInvalidSid = 1337;

        thread_local std::uint32_t lastError = errorSuccess;

        // The file at the path itself, never what a link there points to: a link is
        // refused before it is opened, and the open does not follow one that took its
        // place since. Non-blocking, so that a pipe does not hold the caller.
        std::uint32_t openWithoutFollowing (const std::string& path, int& fd)
        {
            struct stat info {};

            if (::lstat (path.c_str(), &info) != 0)
                return windowsErrorFor (errno);

            if (S_ISLNK (info.st_mode))
                return errorStoppedOnSymlink;

            fd = ::open (path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);

            if (fd < 0)
                return errno == ELOOP ? errorStoppedOnSymlink : windowsErrorFor (errno);

            return errorSuccess;
        }

        struct Sid
        {
            SidAuthority authority;
            std::uint8_t count;
            std::uint32_t subAuthorities[8];

            bool is (std::uint8_t authorityValue, std::uint8_t numSubAuthorities, std::uint32_t first, std::uint32_t second) const
            {
                for (int i = 0; i < 5; ++i)
                    if (authority.value[i] != 0)
                        return false;

                return authority.value[5] == authorityValue && count == numSubAuthorities
                        && subAuthorities[0] == first && (numSubAuthorities < 2 || subAuthorities[1] == second);
            }

            bool isEveryone() const        { return is (1, 1, 0, 0); }
            bool isAdministrators() const  { return is (5, 2, 32, 544); }
        };

        struct Permissions
        {
            bool read = false, write = false, execute = false;

            static Permissions fromAccessMask (std::uint32_t mask)
            {
                const bool all = (mask & genericAll) != 0;
                return { all || (mask & genericRead) != 0,
                         all || (mask & genericWrite) != 0,
                         all || (mask & genericExecute) != 0 };
            }
        };

        bool addEntry (acl_t& acl, acl_tag_t tag, Permissions permissions, const gid_t* group = nullptr)
        {
            acl_entry_t entry;
            acl_permset_t permset;

            if (acl_create_entry (&acl, &entry) != 0 || acl_set_tag_type (entry, tag) != 0)
                return false;

            if (group != nullptr && acl_set_qualifier (entry, group) != 0)
                return false;

            if (acl_get_permset (entry, &permset) != 0 || acl_clear_perms (permset) != 0)
                return false;

            if ((permissions.read && acl_add_perm (permset, ACL_READ) != 0)
                 || (permissions.write && acl_add_perm (permset, ACL_WRITE) != 0)
                 || (permissions.execute && acl_add_perm (permset, ACL_EXECUTE) != 0))
                return false;

            return acl_set_permset (entry, permset) == 0;
        }

        // Wide text (UTF-32 on Linux) to UTF-8.
        std::string toUtf8 (const wchar_t* text)
        {
            std::string out;

            for (; text != nullptr && *text != 0; ++text)
            {
                auto c = static_cast<std::uint32_t> (*text);

                if (c < 0x80)
                {
                    out += static_cast<char> (c);
                }
                else if (c < 0x800)
                {
                    out += static_cast<char> (0xc0 | (c >> 6));
                    out += static_cast<char> (0x80 | (c & 0x3f));
                }
                else if (c < 0x10000)
                {
                    out += static_cast<char> (0xe0 | (c >> 12));
                    out += static_cast<char> (0x80 | ((c >> 6) & 0x3f));
                    out += static_cast<char> (0x80 | (c & 0x3f));
                }
                else
                {
                    out += static_cast<char> (0xf0 | (c >> 18));
                    out += static_cast<char> (0x80 | ((c >> 12) & 0x3f));
                    out += static_cast<char> (0x80 | ((c >> 6) & 0x3f));
                    out += static_cast<char> (0x80 | (c & 0x3f));
                }
            }

            return out;
        }

        class PosixFileSecurity : public FileSecurity
        {
        public:
            bool allocateSid (const SidAuthority& authority, std::uint8_t subAuthorityCount,
                              const std::uint32_t (&subAuthorities)[8], SecurityId& sid) override
            {
                if (subAuthorityCount > 8)
                {
                    lastError = errorInvalidParameter;
                    return false;
                }

                auto* made = new Sid { authority, subAuthorityCount, {} };
                std::memcpy (made->subAuthorities, subAuthorities, sizeof (made->subAuthorities));
                sid = made;
                return true;
            }

            void freeSid (SecurityId sid) override
            {
                delete static_cast<Sid*> (sid);
            }

            std::uint32_t setEntriesInAcl (const ExplicitAccess* entries, std::uint32_t count, AccessList& list) override
            {
                Permissions everyone, administrators;
                bool hasAdministrators = false;

                for (std::uint32_t i = 0; i < count; ++i)
                {
                    auto* sid = static_cast<const Sid*> (entries[i].trustee);

                    if (sid != nullptr && sid->isEveryone())
                    {
                        everyone = Permissions::fromAccessMask (entries[i].accessPermissions);
                    }
                    else if (sid != nullptr && sid->isAdministrators())
                    {
                        administrators = Permissions::fromAccessMask (entries[i].accessPermissions);
                        hasAdministrators = true;
                    }
                    else
                    {
                        return errorInvalidSid;
                    }
                }

                acl_t acl = acl_init (5);

                if (acl == nullptr)
                    return windowsErrorFor (errno);

                const gid_t administratorsGroup = 0;
                const Permissions all { true, true, true };

                bool ok = addEntry (acl, ACL_USER_OBJ, everyone)
                           && addEntry (acl, ACL_GROUP_OBJ, everyone)
                           && addEntry (acl, ACL_OTHER, everyone);

                if (ok && hasAdministrators)
                    ok = addEntry (acl, ACL_GROUP, administrators, &administratorsGroup)
                          && addEntry (acl, ACL_MASK, all);

                if (! ok || acl_valid (acl) != 0)
                {
                    const auto error = windowsErrorFor (errno);
                    acl_free (acl);
                    return error == errorSuccess ? errorInvalidParameter : error;
                }

                list = acl;
                return errorSuccess;
            }

            void freeAccessList (AccessList list) override
            {
                acl_free (list);
            }

            std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what, SecurityId owner, AccessList dacl) override
            {
                auto* sid = static_cast<const Sid*> (owner);

                if ((what & ownerSecurityInformation) != 0 && (sid == nullptr || ! sid->isAdministrators()))
                    return errorInvalidOwner;

                if ((what & daclSecurityInformation) != 0 && dacl == nullptr)
                    return errorInvalidParameter;

                int fd = -1;
                auto result = openWithoutFollowing (toUtf8 (path), fd);

                if (result != errorSuccess)
                    return result;

                if ((what & ownerSecurityInformation) != 0 && ::fchown (fd, 0, static_cast<gid_t> (-1)) != 0)
                    result = windowsErrorFor (errno);

                if (result == errorSuccess && (what & daclSecurityInformation) != 0
                     && acl_set_fd (fd, static_cast<acl_t> (dacl)) != 0)
                    result = windowsErrorFor (errno);

                ::close (fd);
                return result;
            }

            bool openProcessToken (TokenHandle& token) override
            {
                cap_t caps = cap_get_proc();

                if (caps == nullptr)
                {
                    lastError = windowsErrorFor (errno);
                    return false;
                }

                token = caps;
                return true;
            }

            void closeHandle (TokenHandle token) override
            {
                cap_free (token);
            }

            bool lookupPrivilegeValue (const char* name, PrivilegeId& id) override
            {
                if (name == nullptr || std::strcmp (name, "SeTakeOwnershipPrivilege") != 0)
                {
                    lastError = errorNoSuchPrivilege;
                    return false;
                }

                id.lowPart = CAP_CHOWN;
                id.highPart = 0;
                return true;
            }

            bool adjustTokenPrivilege (TokenHandle token, const PrivilegeId& id, std::uint32_t attributes) override
            {
                auto caps = static_cast<cap_t> (token);
                const auto capability = static_cast<cap_value_t> (id.lowPart);
                cap_flag_value_t permitted = CAP_CLEAR;

                if (caps == nullptr || cap_get_flag (caps, capability, CAP_PERMITTED, &permitted) != 0)
                {
                    lastError = caps == nullptr ? errorInvalidParameter : windowsErrorFor (errno);
                    return false;
                }

                if (permitted != CAP_SET)
                {
                    lastError = errorNotAllAssigned;
                    return true;
                }

                const auto value = (attributes & privilegeEnabled) != 0 ? CAP_SET : CAP_CLEAR;

                if (cap_set_flag (caps, CAP_EFFECTIVE, 1, &capability, value) != 0 || cap_set_proc (caps) != 0)
                {
                    lastError = windowsErrorFor (errno);
                    return false;
                }

                lastError = errorSuccess;
                return true;
            }

            std::uint32_t getLastError() override
            {
                return lastError;
            }
        };

    }

    FileSecurity& getSystemFileSecurity()
    {
        static PosixFileSecurity system;
        return system;
    }
}
