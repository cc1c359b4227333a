#include "engine/FilePermissions.h"

#include "engine/HfInstallerThread.h"
#include "engine/ZipArchive.h"

#include <cstdio>

namespace
{
    juce::String withCode (const char* text, std::uint32_t code)
    {
        return juce::String (text) + juce::String (code);
    }

    const char* const linkRefused = "The installed path is a link, and permissions are never set through a link";

    // Whatever setFilePermissions acquires, released in this order on every path.
    struct AcquiredSecurity
    {
        platform::FileSecurity& security;
        platform::SecurityId everyone = nullptr;
        platform::SecurityId administrators = nullptr;
        platform::AccessList list = nullptr;
        platform::TokenHandle token = nullptr;

        ~AcquiredSecurity()
        {
            if (administrators != nullptr) security.freeSid (administrators);
            if (everyone != nullptr)       security.freeSid (everyone);
            if (list != nullptr)           security.freeAccessList (list);
            if (token != nullptr)          security.closeHandle (token);
        }
    };
}

juce::Result SetPrivilege (platform::TokenHandle token, bool enable)
{
    auto& security = platform::getFileSecurity();
    platform::PrivilegeId privilege;

    if (! security.lookupPrivilegeValue ("SeTakeOwnershipPrivilege", privilege))
    {
        const auto code = security.getLastError();
        std::printf ("LookupPrivilegeValue error: %u\n", static_cast<unsigned> (code));
        return juce::Result::fail (withCode ("LookupPrivilegeValue error: ", code));
    }

    if (! security.adjustTokenPrivilege (token, privilege, enable ? platform::privilegeEnabled : 0))
    {
        const auto code = security.getLastError();
        std::printf ("AdjustTokenPrivileges error: %u\n", static_cast<unsigned> (code));
        return juce::Result::fail (withCode ("AdjustTokenPrivileges error: ", code));
    }

    if (security.getLastError() == platform::errorNotAllAssigned)
    {
        std::printf ("The token does not have the specified privilege. \n");
        return juce::Result::fail ("The token does not have the specified privilege.");
    }

    return juce::Result::ok();
}

juce::Result setFilePermissions (const juce::String& path)
{
    return setFilePermissions (path.toWideCharPointer());
}

juce::Result setFilePermissions (const wchar_t* path)
{
    AcquiredSecurity acquired { platform::getFileSecurity() };
    auto& security = acquired.security;

    const platform::SidAuthority worldAuthority { { 0, 0, 0, 0, 0, 1 } };
    const std::uint32_t worldSubAuthorities[8] = { 0 };              // SECURITY_WORLD_RID

    if (! security.allocateSid (worldAuthority, 1, worldSubAuthorities, acquired.everyone))
    {
        acquired.everyone = nullptr;
        return juce::Result::fail ("Could not create SID for Everyone group");
    }

    const platform::SidAuthority ntAuthority { { 0, 0, 0, 0, 0, 5 } };
    const std::uint32_t adminSubAuthorities[8] = { 32, 544 };        // BUILTIN\Administrators

    if (! security.allocateSid (ntAuthority, 2, adminSubAuthorities, acquired.administrators))
    {
        acquired.administrators = nullptr;
        return juce::Result::fail ("Could not create SID for admin");
    }

    const platform::ExplicitAccess entries[2] = {
        { acquired.everyone, platform::TrusteeType::wellKnownGroup, platform::genericRead | platform::genericExecute },
        { acquired.administrators, platform::TrusteeType::group, platform::genericAll }
    };

    if (security.setEntriesInAcl (entries, 2, acquired.list) != platform::errorSuccess)
    {
        acquired.list = nullptr;
        return juce::Result::fail ("Failed setting entries in ACL");
    }

    auto code = security.setNamedSecurityInfo (path, platform::daclSecurityInformation, nullptr, acquired.list);

    if (code == platform::errorSuccess)
        return juce::Result::ok();

    if (code == platform::errorStoppedOnSymlink)
        return juce::Result::fail (linkRefused);

    if (code != platform::errorAccessDenied)
        return juce::Result::fail (withCode ("First SetNamedSecurityInfo call failed: ", code));

    if (! security.openProcessToken (acquired.token))
    {
        acquired.token = nullptr;
        return juce::Result::fail (withCode ("OpenProcessToken failed: ", security.getLastError()));
    }

    auto enabled = SetPrivilege (acquired.token, true);

    if (enabled.failed())
        return juce::Result::fail ("Process was not started as Administrator: " + enabled.getErrorMessage());

    code = security.setNamedSecurityInfo (path, platform::ownerSecurityInformation, acquired.administrators, nullptr);

    if (code != platform::errorSuccess)
    {
        // The privilege is not left enabled behind a failure.
        SetPrivilege (acquired.token, false);
        return juce::Result::fail (withCode ("Could not set owner. Error:", code));
    }

    auto disabled = SetPrivilege (acquired.token, false);

    if (disabled.failed())
        return juce::Result::fail ("Failed SetPrivilege call: " + disabled.getErrorMessage());

    code = security.setNamedSecurityInfo (path, platform::daclSecurityInformation, nullptr, acquired.list);

    if (code != platform::errorSuccess)
        return juce::Result::fail (withCode ("Second SetNamedSecurityInfo call failed: ", code));

    return juce::Result::ok();
}

void HfInstallerThread::setWindowsPermissions (const InstallationTask& task)
{
    const auto archive = task.getArchive();
    const auto files = task.getInstalledFilePaths();

    for (size_t i = 0; i < files.size(); ++i)
    {
        const auto& file = files[i];
        const bool isLink = file.isSymbolicLink();

        // The move makes only the folders that hold a file: an empty folder of the archive
        // is not installed and gets no list.
        if (ZipArchive::isFolderEntry (*archive->getEntry (static_cast<int> (i))) && ! file.isDirectory() && ! isLink)
            continue;

        if (! file.exists() && ! isLink)
            throw HfInstallerThreadException (HfInstallerThreadException::PermissionsFileMissing,
                                              "[Detail] Did not find file that we should change windows permissions to: "
                                                  + file.getFullPathName());

        auto result = setFilePermissions (file.getFullPathName());

        if (result.failed())
            throw HfInstallerThreadException (HfInstallerThreadException::PermissionsFailed,
                                              "[Detail] " + result.getErrorMessage() + "\n" + file.getFullPathName() + " \n");
    }
}
