// The engine on the Windows services themselves: a whole installation into a folder, and
// the permission step's calls with the list that it builds, read back from memory.
//
// Wine keeps no access-control lists on files and runs every program elevated, so these
// tests check what the calls answer and the list as it is built, not what a file keeps.

#include "engine/FilePermissions.h"
#include "engine/HfInstallerThread.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/TemporaryFiles.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include "platform/win32/WindowsHeaders.h"
#include <aclapi.h>

#include <utility>
#include <vector>

namespace
{
    using T = HfInstallerThread;

    juce::MemoryBlock bytesOfSize (size_t size, char fill = 'x')
    {
        juce::MemoryBlock block (size, false);
        block.fillWith (static_cast<juce::uint8> (fill));
        return block;
    }

    // A deflated zip archive held in memory, as the embedded one is read.
    std::shared_ptr<juce::ZipFile> makeArchive (const std::vector<std::pair<juce::String, juce::MemoryBlock>>& entries)
    {
        juce::MemoryOutputStream zip;
        juce::ZipFile::Builder builder;
        for (auto& [name, content] : entries)
            builder.addEntry (new juce::MemoryInputStream (content, true), 9, name, juce::Time());
        builder.writeToStream (zip, nullptr);
        return std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zip.getMemoryBlock(), true), true);
    }

    struct Scratch
    {
        juce::File folder = testing_support::makeUniqueFolder (juce::File::getSpecialLocation (juce::File::tempDirectory),
                                                               "hf-windows-engine-");
        ~Scratch() { folder.deleteRecursively(); }
    };

    struct NoListener : HfInstallerThread::Listener
    {
        void installerUpdated() override {}
    };

    // The system's security calls, with a record of what passed and, where a test asks
    // for it, access denied for the first attempt at setting a file's list.
    struct RecordingSecurity : platform::FileSecurity
    {
        platform::FileSecurity& system = platform::getFileSecurity();
        bool denyFirstListSet = false;
        std::vector<juce::String> calls;
        std::vector<std::vector<unsigned char>> lists; // each list built, as bytes

        bool allocateSid (const platform::SidAuthority& a, std::uint8_t n, const std::uint32_t (&s)[8], platform::SecurityId& sid) override
        {
            calls.push_back ("allocateSid");
            return system.allocateSid (a, n, s, sid);
        }

        void freeSid (platform::SecurityId sid) override { calls.push_back ("freeSid"); system.freeSid (sid); }

        std::uint32_t setEntriesInAcl (const platform::ExplicitAccess* e, std::uint32_t n, platform::AccessList& list) override
        {
            calls.push_back ("setEntriesInAcl");
            const auto result = system.setEntriesInAcl (e, n, list);

            if (result == 0)
            {
                ACL_SIZE_INFORMATION size {};
                if (GetAclInformation (static_cast<PACL> (list), &size, sizeof (size), AclSizeInformation))
                {
                    auto* bytes = static_cast<const unsigned char*> (list);
                    lists.emplace_back (bytes, bytes + size.AclBytesInUse);
                }
            }

            return result;
        }

        void freeAccessList (platform::AccessList list) override { calls.push_back ("freeAccessList"); system.freeAccessList (list); }

        std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what, platform::SecurityId owner, platform::AccessList dacl) override
        {
            calls.push_back ("setNamedSecurityInfo " + juce::String (what));

            if (what == platform::daclSecurityInformation && std::exchange (denyFirstListSet, false))
                return platform::errorAccessDenied;

            return system.setNamedSecurityInfo (path, what, owner, dacl);
        }

        bool openProcessToken (platform::TokenHandle& token) override { calls.push_back ("openProcessToken"); return system.openProcessToken (token); }
        void closeHandle (platform::TokenHandle token) override { calls.push_back ("closeHandle"); system.closeHandle (token); }

        bool lookupPrivilegeValue (const char* name, platform::PrivilegeId& id) override
        {
            calls.push_back ("lookupPrivilegeValue");
            return system.lookupPrivilegeValue (name, id);
        }

        bool adjustTokenPrivilege (platform::TokenHandle token, const platform::PrivilegeId& id, std::uint32_t attributes) override
        {
            calls.push_back ("adjustTokenPrivilege " + juce::String (attributes));
            return system.adjustTokenPrivilege (token, id, attributes);
        }

        std::uint32_t getLastError() override { return system.getLastError(); }
    };

    // A well-known group's identifier, made by the system.
    std::vector<unsigned char> wellKnownSid (WELL_KNOWN_SID_TYPE type)
    {
        std::vector<unsigned char> sid (SECURITY_MAX_SID_SIZE);
        DWORD size = static_cast<DWORD> (sid.size());
        if (! CreateWellKnownSid (type, nullptr, sid.data(), &size))
            return {};
        sid.resize (size);
        return sid;
    }
}

TEST (WindowsInstallation, InstallsAnArchiveIntoAFolderAndRemovesTheTemporaryRoot)
{
    Scratch scratch;
    ScopedHookValue temporaryName (TestApplication::get().temporaryFolderName, "HfWindowsEngineTest");
    const auto destination = scratch.folder.getChildFile ("Plug-ins").getChildFile ("Hollowfen").getChildFile ("Vistrel");
    const auto plugin = bytesOfSize (300000, 'p');
    const auto readme = bytesOfSize (10, 'r');
    auto archive = makeArchive ({ { "Vistrel.aex", plugin }, { "docs/readme.txt", readme } });

    NoListener listener;
    HfInstallerThread thread (&listener);
    thread.setTasks ({ InstallationTask (archive, destination.getFullPathName(), true, true) });
    ASSERT_NO_THROW (thread.prepare());
    EXPECT_EQ (thread.getTotalBytes(), 300010);
    ASSERT_NO_THROW (thread.start());

    ASSERT_TRUE (testing_support::runMessageLoopUntil ([&] { return thread.getState() == T::Succeeded || thread.getState() == T::Failed; }, 60000));
    ASSERT_EQ (thread.getState(), T::Succeeded) << thread.getLastError().getMessage();

    juce::MemoryBlock installedPlugin, installedReadme;
    ASSERT_TRUE (destination.getChildFile ("Vistrel.aex").loadFileAsData (installedPlugin));
    EXPECT_EQ (installedPlugin, plugin);
    ASSERT_TRUE (destination.getChildFile ("docs").getChildFile ("readme.txt").loadFileAsData (installedReadme));
    EXPECT_EQ (installedReadme, readme);
    EXPECT_FALSE (HfInstallerThread::getTemporaryFolder().exists()) << HfInstallerThread::getTemporaryFolder().getFullPathName();
    EXPECT_EQ (HfInstallerThread::getTemporaryFolder().getParentDirectory(), juce::File::getSpecialLocation (juce::File::tempDirectory));
}

TEST (WindowsPermissions, SetsTheTwoEntryListWithOneCallAndBuildsItAsTheInstallerDefinesIt)
{
    Scratch scratch;
    const auto file = scratch.folder.getChildFile (juce::String::fromUTF8 ("Vistrel \xce\xb2.aex"));
    ASSERT_TRUE (file.replaceWithText ("plug-in"));

    RecordingSecurity recording;
    platform::ScopedFileSecurityReplacement scoped (recording);

    const auto result = setFilePermissions (file.getFullPathName());
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

    const std::vector<juce::String> expectedCalls { "allocateSid", "allocateSid", "setEntriesInAcl", "setNamedSecurityInfo 4",
                                                    "freeSid", "freeSid", "freeAccessList" };
    EXPECT_EQ (recording.calls, expectedCalls);

    // The list, read back from memory: two entries that allow, in this order, Everyone
    // to read and execute and Administrators everything, neither inherited.
    ASSERT_EQ (recording.lists.size(), 1u);
    auto* list = reinterpret_cast<PACL> (recording.lists[0].data());
    ASSERT_TRUE (IsValidAcl (list));
    ASSERT_EQ (list->AceCount, 2);

    const struct { WELL_KNOWN_SID_TYPE trustee; DWORD mask; } expected[] {
        { WinWorldSid, GENERIC_READ | GENERIC_EXECUTE },
        { WinBuiltinAdministratorsSid, GENERIC_ALL },
    };

    for (DWORD i = 0; i < 2; ++i)
    {
        SCOPED_TRACE (i);
        void* ace = nullptr;
        ASSERT_TRUE (GetAce (list, i, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*> (ace);
        EXPECT_EQ (allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ (allowed->Header.AceFlags, 0) << "no inheritance";
        EXPECT_EQ (allowed->Mask, expected[i].mask);

        auto sid = wellKnownSid (expected[i].trustee);
        ASSERT_FALSE (sid.empty());
        EXPECT_TRUE (EqualSid (&allowed->SidStart, sid.data()));
    }

    // As explicit entries: set access, single trustees given by identifier. (Wine does
    // not implement this reading of a list.)
    ULONG count = 0;
    PEXPLICIT_ACCESS_A entries = nullptr;
    const auto explicitResult = GetExplicitEntriesFromAclA (list, &count, &entries);

    if (explicitResult == ERROR_CALL_NOT_IMPLEMENTED)
        return;

    ASSERT_EQ (explicitResult, static_cast<DWORD> (ERROR_SUCCESS));
    ASSERT_EQ (count, 2u);

    for (ULONG i = 0; i < count; ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (entries[i].grfAccessPermissions, expected[i].mask);
        EXPECT_TRUE (entries[i].grfAccessMode == GRANT_ACCESS || entries[i].grfAccessMode == SET_ACCESS);
        EXPECT_EQ (entries[i].grfInheritance, static_cast<DWORD> (NO_INHERITANCE));
        EXPECT_EQ (entries[i].Trustee.TrusteeForm, TRUSTEE_IS_SID);
        EXPECT_EQ (entries[i].Trustee.MultipleTrusteeOperation, NO_MULTIPLE_TRUSTEE);
    }

    LocalFree (entries);
}

// Access denied cannot be had for real where every program runs elevated: the first
// attempt answers it, and everything after it goes to the system's calls.
TEST (WindowsPermissions, AfterAccessDeniedTakesOwnershipWithThePrivilegeAndSetsTheListAgain)
{
    Scratch scratch;
    const auto file = scratch.folder.getChildFile ("Vistrel.aex");
    ASSERT_TRUE (file.replaceWithText ("plug-in"));

    RecordingSecurity recording;
    recording.denyFirstListSet = true;
    platform::ScopedFileSecurityReplacement scoped (recording);

    const auto result = setFilePermissions (file.getFullPathName());
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

    const std::vector<juce::String> expectedCalls {
        "allocateSid", "allocateSid", "setEntriesInAcl", "setNamedSecurityInfo 4",
        "openProcessToken", "lookupPrivilegeValue", "adjustTokenPrivilege 2",
        "setNamedSecurityInfo 1",
        "lookupPrivilegeValue", "adjustTokenPrivilege 0",
        "setNamedSecurityInfo 4",
        "freeSid", "freeSid", "freeAccessList", "closeHandle"
    };
    EXPECT_EQ (recording.calls, expectedCalls);
}

TEST (WindowsPermissions, TheStepGivesEveryInstalledFileItsListAndNamesAMissingOne)
{
    Scratch scratch;
    auto archive = makeArchive ({ { "a.aex", bytesOfSize (5) },
                                                   { "b.txt", bytesOfSize (5) } });
    InstallationTask task (archive, scratch.folder.getFullPathName(), true, true);
    scratch.folder.getChildFile ("a.aex").replaceWithText ("a");

    try
    {
        HfInstallerThread::setWindowsPermissions (task);
        FAIL() << "b.txt is missing";
    }
    catch (const HfInstallerThreadException& e)
    {
        EXPECT_EQ (e.type, HfInstallerThreadException::PermissionsFileMissing);
        EXPECT_EQ (e.getMessage(), "[Detail] Did not find file that we should change windows permissions to: "
                                       + scratch.folder.getChildFile ("b.txt").getFullPathName());
    }

    scratch.folder.getChildFile ("b.txt").replaceWithText ("b");
    EXPECT_NO_THROW (HfInstallerThread::setWindowsPermissions (task));
}
