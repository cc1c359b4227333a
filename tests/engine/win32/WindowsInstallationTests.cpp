// The engine on the Windows services themselves: a whole installation into a folder, the
// permission step's calls with the list that it builds, read back from memory, the moves'
// calls, a copy stopped when the thread object goes, and the volumes of the disk-space check.
//
// Wine keeps no access-control lists on files and runs every program elevated, so these
// tests check what the calls answer and the list as it is built, not what a file keeps.
// Wine turns a list that is set into the file's Unix mode, and shows a mode without write
// bits as the read-only attribute, on folders too.
// scripts/test-windows.sh maps the drives X: and Y: (two folders) and S: (a 64 KiB tmpfs)
// in the prefix; the tests that need them skip without them.

#include "engine/FilePermissions.h"
#include "engine/HfInstallerThread.h"
#include "engine/InstallerFiles.h"
#include "platform/WindowRepaint.h"
#include "tests/engine/ThreadStopChecks.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/ScriptedFileSystem.h"
#include "tests/support/TemporaryFiles.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include "platform/win32/WindowsHeaders.h"
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <functional>
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
        juce::String reparsePoint;  // answered as the system answers a link there
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

            if (juce::String (path) == reparsePoint)
                return platform::errorStoppedOnSymlink;

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

    bool driveExists (const wchar_t* root)
    {
        const auto attributes = GetFileAttributesW (root);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    juce::String volumeLabel (const wchar_t* root)
    {
        wchar_t label[MAX_PATH + 1] = {};
        GetVolumeInformationW (root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
        return juce::String (label);
    }

    juce::MemoryBlock contentOf (const juce::File& f)
    {
        juce::MemoryBlock block;
        f.loadFileAsData (block);
        return block;
    }

    // Gives a file or folder the access-control list that the text describes (SDDL), in
    // place of what it inherits.
    bool setAccessList (const juce::File& f, const wchar_t* sddl)
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;

        if (! ConvertStringSecurityDescriptorToSecurityDescriptorW (sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return false;

        BOOL present = FALSE, defaulted = FALSE;
        PACL list = nullptr;
        GetSecurityDescriptorDacl (descriptor, &present, &list, &defaulted);
        std::wstring path (f.getFullPathName().toWideCharPointer());
        const auto result = SetNamedSecurityInfoW (path.data(), SE_FILE_OBJECT,
                                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                                   nullptr, nullptr, list, nullptr);
        LocalFree (descriptor);
        return result == ERROR_SUCCESS;
    }

    // Everyone may read and execute, and nobody, Administrators included, may write data
    // (its attributes stay writable). Wine takes every write bit of the mode for it.
    constexpr const wchar_t* writesDenied = L"D:P(D;;0x6;;;WD)(A;;GRGX;;;WD)";

    bool hasReadOnlyAttribute (const juce::File& f)
    {
        const auto attributes = GetFileAttributesW (f.getFullPathName().toWideCharPointer());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }

    // A scratch folder whose read-only files and lists are undone before it is removed:
    // Windows (and Wine) delete no read-only file.
    struct LockableScratch : Scratch
    {
        ~LockableScratch()
        {
            auto items = folder.findChildFiles (juce::File::findFilesAndDirectories, true);
            items.add (folder);

            for (auto& f : items)
            {
                setAccessList (f, L"D:(A;;FA;;;WD)");
                f.setReadOnly (false);
            }
        }
    };

    bool needsPrivileges (const juce::File& destination)
    {
        return HfInstallerThread::needsPrivileges (InstallationTask (nullptr, destination.getFullPathName(), true, true));
    }

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

// The read-only attribute of a file alone decides: a folder is never read-only, whatever
// its attribute or its list, and neither is a missing path.
TEST (WindowsPrivileges, AreNeededExactlyForAReadOnlyFileAtAnyDepth)
{
    LockableScratch scratch;

    struct Case
    {
        const char* what;
        std::function<void (const juce::File&)> make;
        bool needs;
    };

    const std::vector<Case> cases {
        { "missing destination", [] (const juce::File&) {}, false },
        { "writable files", [] (const juce::File& d) { ASSERT_TRUE (d.getChildFile ("a\\b\\c.txt").create()); }, false },
        { "read-only file three levels down", [] (const juce::File& d)
          {
              const auto f = d.getChildFile ("a\\b\\c\\old.aex");
              ASSERT_TRUE (f.create());
              ASSERT_TRUE (SetFileAttributesW (f.getFullPathName().toWideCharPointer(), FILE_ATTRIBUTE_READONLY));
              d.getChildFile ("a\\z.txt").create();
          }, true },
        { "destination is a read-only file", [] (const juce::File& d) { ASSERT_TRUE (d.create()); ASSERT_TRUE (d.setReadOnly (true)); }, true },
        { "destination is a writable file", [] (const juce::File& d) { ASSERT_TRUE (d.create()); }, false },
        // Windows keeps the attribute on a folder; Wine drops it.
        { "only a folder with the read-only attribute", [] (const juce::File& d)
          {
              const auto folder = d.getChildFile ("ro");
              ASSERT_TRUE (folder.createDirectory());
              ASSERT_TRUE (SetFileAttributesW (folder.getFullPathName().toWideCharPointer(), FILE_ATTRIBUTE_READONLY));
              d.getChildFile ("plain.txt").create();
          }, false },
        // Windows keeps the list, which JUCE's own test of write access reads; Wine takes
        // the folder's write bits and shows it with the read-only attribute.
        { "only a folder whose list denies writing", [] (const juce::File& d)
          {
              const auto folder = d.getChildFile ("ro");
              ASSERT_TRUE (folder.createDirectory());
              ASSERT_TRUE (setAccessList (folder, writesDenied));
              EXPECT_FALSE (folder.hasWriteAccess()) << "the list is not in place";
              if (platform::isRunningUnderWine())
              {
                  EXPECT_TRUE (hasReadOnlyAttribute (folder)) << "Wine shows no attribute for the list";
              }
          }, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto d = scratch.folder.getChildFile (juce::String (c.what).replaceCharacter (' ', '-'));
        ASSERT_NO_FATAL_FAILURE (c.make (d));
        EXPECT_EQ (needsPrivileges (d), c.needs);
    }
}

// A file whose list denies writing but that has no read-only attribute: JUCE's own test of
// write access answers no there, the installer's answers yes.
TEST (WindowsPrivileges, AFileWhoseListDeniesWritingNeedsNoneWithoutTheAttribute)
{
    LockableScratch scratch;
    const auto destination = scratch.folder.getChildFile ("Vistrel");
    const auto file = destination.getChildFile ("Vistrel.aex");
    ASSERT_TRUE (file.create());
    ASSERT_TRUE (setAccessList (file, writesDenied));

    if (hasReadOnlyAttribute (file))
        GTEST_SKIP() << "This system shows a list that denies writing as the read-only attribute (Wine keeps no lists)";

    EXPECT_FALSE (file.hasWriteAccess()) << "the list is not in place";
    EXPECT_FALSE (needsPrivileges (destination));
    EXPECT_FALSE (needsPrivileges (file));
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

TEST (WindowsPermissions, ALinkIsRefusedAndAFolderGetsItsListThroughAHandle)
{
    Scratch scratch;
    const auto destination = scratch.folder.getChildFile ("Vistrel");
    const auto installed = destination.getChildFile ("Vistrel.aex");
    destination.createDirectory();
    ASSERT_TRUE (installed.replaceWithText ("plug-in"));

    // A reparse point at the installed path, as the service answers it: the step stops
    // there, with no second attempt and no token.
    {
        RecordingSecurity recording;
        recording.reparsePoint = installed.getFullPathName();
        platform::ScopedFileSecurityReplacement scoped (recording);

        try
        {
            HfInstallerThread::setWindowsPermissions (InstallationTask (makeArchive ({ { "Vistrel.aex", bytesOfSize (5) } }),
                                                                        destination.getFullPathName(), false, true));
            ADD_FAILURE() << "nothing was thrown";
        }
        catch (const HfInstallerThreadException& e)
        {
            EXPECT_EQ (e.type, HfInstallerThreadException::PermissionsFailed);
            EXPECT_EQ (e.getMessage(), "[Detail] The installed path is a link, and permissions are never set through a link\n"
                                           + installed.getFullPathName() + " \n");
        }

        const std::vector<juce::String> expectedCalls { "allocateSid", "allocateSid", "setEntriesInAcl", "setNamedSecurityInfo 4",
                                                        "freeSid", "freeSid", "freeAccessList" };
        EXPECT_EQ (recording.calls, expectedCalls);
    }

    // The system's service opens the folder itself for its list (backup semantics).
    auto& system = platform::getSystemFileSecurity();
    platform::AccessList list = nullptr;
    const platform::ExplicitAccess none[1] {};
    ASSERT_EQ (system.setEntriesInAcl (none, 0, list), platform::errorSuccess);
    EXPECT_EQ (system.setNamedSecurityInfo (destination.getFullPathName().toWideCharPointer(), platform::daclSecurityInformation,
                                            nullptr, list), platform::errorSuccess);

    system.freeAccessList (list);
}

TEST (WindowsPermissions, TheSystemsServiceRefusesARealLink)
{
    Scratch scratch;
    const auto installed = scratch.folder.getChildFile ("Vistrel.aex"), link = scratch.folder.getChildFile ("link.aex");
    ASSERT_TRUE (installed.replaceWithText ("plug-in"));
    auto& system = platform::getSystemFileSecurity();
    platform::AccessList list = nullptr;
    const platform::ExplicitAccess none[1] {};
    ASSERT_EQ (system.setEntriesInAcl (none, 0, list), platform::errorSuccess);

    CreateSymbolicLinkW (link.getFullPathName().toWideCharPointer(), installed.getFullPathName().toWideCharPointer(),
                         0x2 /* SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE */);
    const auto attributes = GetFileAttributesW (link.getFullPathName().toWideCharPointer());

    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    {
        system.freeAccessList (list);
        GTEST_SKIP() << "This system makes no symbolic links (Wine 8 answers success and makes none)";
    }

    EXPECT_EQ (system.setNamedSecurityInfo (link.getFullPathName().toWideCharPointer(), platform::daclSecurityInformation,
                                            nullptr, list), platform::errorStoppedOnSymlink);
    system.freeAccessList (list);
}

TEST (WindowsMoves, AnOldFileIsReplacedInOneStepAndStaysAsItWasWhereTheReplaceFails)
{
    using Answers = std::vector<std::optional<std::uint32_t>>;
    using Outcome = InstallerFiles::MoveOutcome;
    Scratch scratch;
    const auto folder = scratch.folder.getChildFile ("Vistrel");
    const auto target = folder.getChildFile ("Vistrel.aex"), source = scratch.folder.getChildFile ("new.aex");
    const auto old = bytesOfSize (3000, 'o'), fresh = bytesOfSize (5000, 'n');

    // The system's answers, except where a case puts another in their place: a move across
    // volumes (ERROR_NOT_SAME_DEVICE), an I/O error, a file in use.
    const struct
    {
        const char* what;
        Answers renames;
        Outcome expected;
    } cases[] {
        { "one volume: renamed over the old file", {}, Outcome::moved },
        { "across volumes: a copy beside it, renamed over it", { 17u }, Outcome::moved },
        { "across volumes: the copy cannot be put in place", { 17u, 1117u }, Outcome::failed },
        { "the old file is in use", { 32u }, Outcome::oldFileKept },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        folder.deleteRecursively();
        folder.createDirectory();
        ASSERT_TRUE (target.replaceWithData (old.getData(), old.getSize()));
        ASSERT_TRUE (source.replaceWithData (fresh.getData(), fresh.getSize()));

        testing_support::ScriptedFileSystem fileSystem;
        fileSystem.renameAnswers = c.renames;
        auto outcome = Outcome::failed;

        {
            platform::ScopedFileSystemReplacement replacement (fileSystem);
            outcome = InstallerFiles::moveFile (source, target);
        }

        const auto calls = fileSystem.getCalls();
        EXPECT_TRUE (outcome == c.expected);
        EXPECT_TRUE (contentOf (target) == (c.expected == Outcome::moved ? fresh : old));
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "a copy was left beside it";
        EXPECT_TRUE (std::find (calls.begin(), calls.end(), "deleteFile " + target.getFullPathName()) == calls.end());

        if (c.renames.empty())
        {
            EXPECT_EQ (calls, (std::vector<juce::String> { "renameReplacing " + source.getFullPathName() + " " + target.getFullPathName() }));
            EXPECT_FALSE (source.exists());
        }
        else if (c.renames.size() == 1 && c.expected == Outcome::moved)
        {
            ASSERT_EQ (calls.size(), 4u);
            const juce::File copy (calls[1].fromLastOccurrenceOf (" ", false, false));
            EXPECT_EQ (copy.getParentDirectory(), folder);
            EXPECT_TRUE (copy.getFileName().startsWith (".Vistrel.aex.")) << copy.getFullPathName();
            EXPECT_EQ (calls[2], "renameReplacing " + copy.getFullPathName() + " " + target.getFullPathName());
            EXPECT_EQ (calls[3], "deleteFile " + source.getFullPathName());
            EXPECT_FALSE (source.exists());
        }
    }
}

TEST (WindowsMoves, AReplaceOntoAFullVolumeKeepsTheOldFileAndLeavesNoCopy)
{
    ULARGE_INTEGER available {}, total {}, free {};

    if (! driveExists (L"S:\\") || ! GetDiskFreeSpaceExW (L"S:\\", &available, &total, &free) || total.QuadPart > 1024 * 1024)
        GTEST_SKIP() << "This test needs the drive S: on a small volume of another file system "
                        "(scripts/test-windows.sh mounts a 64 KiB tmpfs there where it may)";

    Scratch scratch;
    const juce::File folder ("S:\\hf-" + juce::String ((int) GetCurrentProcessId()));
    const auto target = folder.getChildFile ("Vistrel.aex"), source = scratch.folder.getChildFile ("new.aex");
    const auto old = bytesOfSize (20000, 'o'), fresh = bytesOfSize (200 * 1024, 'n');
    folder.createDirectory();
    ASSERT_TRUE (target.replaceWithData (old.getData(), old.getSize()));
    ASSERT_TRUE (source.replaceWithData (fresh.getData(), fresh.getSize()));

    testing_support::ScriptedFileSystem recording;
    auto outcome = InstallerFiles::MoveOutcome::moved;

    {
        platform::ScopedFileSystemReplacement replacement (recording);
        outcome = InstallerFiles::moveFile (source, target);
    }

    // The system answered that the volumes differ, and the copy did not fit.
    const auto calls = recording.getCalls();
    ASSERT_EQ (calls.size(), 2u);
    EXPECT_TRUE (calls[1].startsWith ("copyToNewFile " + source.getFullPathName() + " " + folder.getChildFile (".Vistrel.aex.").getFullPathName()));
    EXPECT_TRUE (outcome == InstallerFiles::MoveOutcome::failed);
    EXPECT_TRUE (contentOf (target) == old);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "a copy was left beside it";
    EXPECT_TRUE (source.existsAsFile());
    folder.deleteRecursively();
}

// The thread object deleted while the worker copies across volumes: the copy stops at its
// next chunk and is deleted, well before the destructor would end the worker by force
// (TerminateThread, which would leave the copy behind).
TEST (WindowsMoves, DestroyingTheThreadDuringACopyAcrossVolumesKeepsTheOldFileAndLeavesNoCopy)
{
    Scratch scratch;
    ScopedHookValue temporaryName (TestApplication::get().temporaryFolderName, "HfWindowsEngineTest");
    NoListener listener;
    auto thread = std::make_unique<HfInstallerThread> (&listener);

    thread_stop::expectDestroyingTheThreadMidCopyKeepsTheOldFile (thread, scratch.folder.getChildFile ("Vistrel"));
}

// Wine shows each drive letter as a volume of its own, and none of them has a label.
TEST (WindowsVolumes, TwoVolumesWithoutLabelsHaveARowEachInTheDiskSpaceCheck)
{
    if (! driveExists (L"X:\\") || ! driveExists (L"Y:\\"))
        GTEST_SKIP() << "This test needs the drives X: and Y: on two volumes (scripts/test-windows.sh maps them)";

    // What a label could not tell apart.
    ASSERT_EQ (volumeLabel (L"X:\\"), volumeLabel (L"Y:\\"));

    // The system's volume keys, and 1000 free bytes on each volume.
    testing_support::ScriptedFileSystem fileSystem;
    fileSystem.freeBytes = 1000;
    platform::ScopedFileSystemReplacement replacement (fileSystem);

    const auto below = "hf-" + juce::String ((int) GetCurrentProcessId()) + "\\Hollowfen\\Vistrel";
    const juce::File onX ("X:\\" + below), onY ("Y:\\" + below), elsewhereOnX ("X:\\other");
    auto archive = makeArchive ({ { "Vistrel.aex", bytesOfSize (600) } });
    auto taskFor = [&] (const juce::File& f) { return InstallationTask (archive, f.getFullPathName(), true, false); };

    NoListener listener;
    HfInstallerThread thread (&listener);
    thread.setTasks ({ taskFor (onX), taskFor (onY) });
    EXPECT_NO_THROW (thread.prepare());
    // The nearest existing folders: the drives' roots (which JUCE writes without a separator).
    EXPECT_EQ (fileSystem.getCalls(), (std::vector<juce::String> { "getVolumeKey X:", "getBytesFreeOnVolume X:",
                                                                   "getVolumeKey Y:", "getBytesFreeOnVolume Y:" }));
    EXPECT_EQ (platform::getSystemFileSystem().getVolumeKey (juce::File ("X:\\")), "X:\\");
    EXPECT_EQ (platform::getSystemFileSystem().getVolumeKey (juce::File ("Y:\\")), "Y:\\");

    // Two folders of one volume share its row.
    thread.setTasks ({ taskFor (onX), taskFor (elsewhereOnX) });

    try
    {
        thread.prepare();
        ADD_FAILURE() << "600 and 600 bytes fitted into 1000";
    }
    catch (const HfInstallerThreadException& e)
    {
        EXPECT_EQ (e.type, HfInstallerThreadException::NotEnoughDiskSpace);
    }
}
