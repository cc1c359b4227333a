#include "EngineTestSupport.h"

#include "engine/FilePermissions.h"

#include <thread>

using namespace engine_test;

namespace
{
    using Error = HfInstallerThreadException;

    // A security service that answers from a script and logs every call.
    class ScriptedSecurity : public platform::FileSecurity
    {
    public:
        bool everyoneFails = false, administratorsFail = false, openTokenFails = false, lookupFails = false;
        std::uint32_t entriesResult = platform::errorSuccess;
        std::vector<std::uint32_t> securityInfoResults;              // one per call, then 0
        std::vector<std::pair<bool, std::uint32_t>> adjustResults;    // (worked, last error), then (true, 0)
        std::uint32_t lastError = 0;
        std::vector<std::string> calls;
        std::vector<platform::ExplicitAccess> entries;
        juce::String expectedPath = "/installed/Vistrel.aex";

        bool allocateSid (const platform::SidAuthority& authority, std::uint8_t count,
                          const std::uint32_t (&subAuthorities)[8], platform::SecurityId& sid) override
        {
            const bool everyone = authority.value[5] == 1 && count == 1 && subAuthorities[0] == 0;
            const bool administrators = authority.value[5] == 5 && count == 2 && subAuthorities[0] == 32 && subAuthorities[1] == 544;
            calls.push_back (everyone ? "sid everyone" : administrators ? "sid administrators" : "sid unknown");

            if ((everyone && everyoneFails) || (administrators && administratorsFail))
                return false;

            sid = everyone ? (void*) &everyoneSid : (void*) &administratorsSid;
            return true;
        }

        void freeSid (platform::SecurityId sid) override
        {
            calls.push_back (sid == &everyoneSid ? "free everyone" : "free administrators");
        }

        std::uint32_t setEntriesInAcl (const platform::ExplicitAccess* newEntries, std::uint32_t count, platform::AccessList& list) override
        {
            calls.push_back ("entries");
            entries.assign (newEntries, newEntries + count);

            if (entriesResult == platform::errorSuccess)
                list = &theList;

            return entriesResult;
        }

        void freeAccessList (platform::AccessList) override { calls.push_back ("free list"); }

        std::uint32_t setNamedSecurityInfo (const wchar_t* path, std::uint32_t what, platform::SecurityId owner,
                                            platform::AccessList dacl) override
        {
            EXPECT_EQ (juce::String (path), expectedPath);

            if (what == platform::ownerSecurityInformation)
            {
                EXPECT_EQ (owner, &administratorsSid);
                calls.push_back ("set owner");
            }
            else
            {
                EXPECT_EQ (what, platform::daclSecurityInformation);
                EXPECT_EQ (dacl, &theList);
                calls.push_back ("set list");
            }

            return next (securityInfoResults, platform::errorSuccess);
        }

        bool openProcessToken (platform::TokenHandle& token) override
        {
            calls.push_back ("open token");

            if (openTokenFails)
            {
                lastError = 6;
                return false;
            }

            token = &theToken;
            return true;
        }

        void closeHandle (platform::TokenHandle) override { calls.push_back ("close token"); }

        bool lookupPrivilegeValue (const char* name, platform::PrivilegeId& id) override
        {
            EXPECT_STREQ (name, "SeTakeOwnershipPrivilege");
            calls.push_back ("lookup");

            if (lookupFails)
            {
                lastError = 1313;
                return false;
            }

            id.lowPart = 9;
            return true;
        }

        bool adjustTokenPrivilege (platform::TokenHandle token, const platform::PrivilegeId& id, std::uint32_t attributes) override
        {
            EXPECT_EQ (token, &theToken);
            EXPECT_EQ (id.lowPart, 9u);
            calls.push_back (attributes == platform::privilegeEnabled ? "enable" : attributes == 0 ? "disable" : "adjust?");
            auto [worked, error] = next (adjustResults, { true, 0u });
            lastError = error;
            return worked;
        }

        std::uint32_t getLastError() override { return lastError; }

    private:
        template <typename Value>
        static Value next (std::vector<Value>& script, Value otherwise)
        {
            if (script.empty())
                return otherwise;

            auto value = script.front();
            script.erase (script.begin());
            return value;
        }

        int everyoneSid = 0, administratorsSid = 0, theList = 0, theToken = 0;
    };

    using Calls = std::vector<std::string>;

    const Calls releaseAll { "free administrators", "free everyone", "free list", "close token" };
    const Calls releaseNoToken { "free administrators", "free everyone", "free list" };

    Calls join (Calls a, const Calls& b)
    {
        a.insert (a.end(), b.begin(), b.end());
        return a;
    }

    struct FilePermissions : EngineTest {};
}

TEST_F (FilePermissions, EveryFailureOfTheSecurityServiceHasItsOwnText)
{
    const Calls start { "sid everyone", "sid administrators", "entries", "set list" };
    const Calls denied = join (start, { "open token", "lookup", "enable" });

    struct Case
    {
        const char* expected;
        std::function<void (ScriptedSecurity&)> script;
        Calls calls;
        std::string printed;
    };

    const std::vector<Case> cases {
        { "Could not create SID for Everyone group", [] (auto& s) { s.everyoneFails = true; }, { "sid everyone" }, "" },
        { "Could not create SID for admin", [] (auto& s) { s.administratorsFail = true; },
          { "sid everyone", "sid administrators", "free everyone" }, "" },
        { "Failed setting entries in ACL", [] (auto& s) { s.entriesResult = 87; },
          { "sid everyone", "sid administrators", "entries", "free administrators", "free everyone" }, "" },
        { "First SetNamedSecurityInfo call failed: 2", [] (auto& s) { s.securityInfoResults = { 2 }; },
          join (start, releaseNoToken), "" },
        { "OpenProcessToken failed: 6", [] (auto& s) { s.securityInfoResults = { 5 }; s.openTokenFails = true; },
          join (start, join ({ "open token" }, releaseNoToken)), "" },
        { "Process was not started as Administrator: LookupPrivilegeValue error: 1313",
          [] (auto& s) { s.securityInfoResults = { 5 }; s.lookupFails = true; },
          join (start, join ({ "open token", "lookup" }, releaseAll)), "LookupPrivilegeValue error: 1313\n" },
        { "Process was not started as Administrator: AdjustTokenPrivileges error: 87",
          [] (auto& s) { s.securityInfoResults = { 5 }; s.adjustResults = { { false, 87 } }; },
          join (denied, releaseAll), "AdjustTokenPrivileges error: 87\n" },
        { "Process was not started as Administrator: The token does not have the specified privilege.",
          [] (auto& s) { s.securityInfoResults = { 5 }; s.adjustResults = { { true, 1300 } }; },
          join (denied, releaseAll), "The token does not have the specified privilege. \n" },
        { "Could not set owner. Error:5", [] (auto& s) { s.securityInfoResults = { 5, 5 }; },
          join (denied, join ({ "set owner", "lookup", "disable" }, releaseAll)), "" },
        { "Failed SetPrivilege call: AdjustTokenPrivileges error: 6",
          [] (auto& s) { s.securityInfoResults = { 5, 0 }; s.adjustResults = { { true, 0 }, { false, 6 } }; },
          join (denied, join ({ "set owner", "lookup", "disable" }, releaseAll)), "AdjustTokenPrivileges error: 6\n" },
        { "Second SetNamedSecurityInfo call failed: 1307", [] (auto& s) { s.securityInfoResults = { 5, 0, 1307 }; },
          join (denied, join ({ "set owner", "lookup", "disable", "set list" }, releaseAll)), "" },
        { "", [] (auto& s) { s.securityInfoResults = { 5, 0, 0 }; },
          join (denied, join ({ "set owner", "lookup", "disable", "set list" }, releaseAll)), "" },
        { "", [] (auto&) {}, join (start, releaseNoToken), "" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.expected);
        ScriptedSecurity security;
        c.script (security);
        platform::ScopedFileSecurityReplacement replacement (security);

        testing::internal::CaptureStdout();
        auto result = setFilePermissions (juce::String ("/installed/Vistrel.aex"));
        const auto printed = testing::internal::GetCapturedStdout();

        EXPECT_EQ (result.getErrorMessage(), c.expected);
        EXPECT_EQ (result.wasOk(), juce::String (c.expected).isEmpty());
        EXPECT_EQ (security.calls, c.calls);
        EXPECT_EQ (printed, c.printed);
    }
}

TEST_F (FilePermissions, TheListGivesEveryoneReadAndExecuteAndAdministratorsEverything)
{
    ScriptedSecurity security;
    platform::ScopedFileSecurityReplacement replacement (security);
    ASSERT_TRUE (setFilePermissions (L"/installed/Vistrel.aex").wasOk());

    ASSERT_EQ (security.entries.size(), 2u);
    EXPECT_EQ (security.entries[0].accessPermissions, 0xA0000000u);
    EXPECT_EQ (security.entries[0].trusteeType, platform::TrusteeType::wellKnownGroup);
    EXPECT_EQ (security.entries[1].accessPermissions, 0x10000000u);
    EXPECT_EQ (security.entries[1].trusteeType, platform::TrusteeType::group);
    EXPECT_NE (security.entries[0].trustee, security.entries[1].trustee);
}

TEST_F (FilePermissions, AFailureBecomesTheStepsErrorWithTheFilesPath)
{
    ScriptedSecurity security;
    security.securityInfoResults = { 2 };
    platform::ScopedFileSecurityReplacement replacement (security);

    const auto destination = scratch / "installed";
    destination.getChildFile ("Vistrel.aex").create();
    security.expectedPath = destination.getChildFile ("Vistrel.aex").getFullPathName();
    InstallationTask task (ZipWriter().file ("Vistrel.aex", "x").open(), destination.getFullPathName(), true, true);

    try
    {
        HfInstallerThread::setWindowsPermissions (task);
        ADD_FAILURE() << "nothing was thrown";
    }
    catch (const Error& e)
    {
        EXPECT_EQ (e.type, Error::PermissionsFailed);
        EXPECT_EQ (e.getMessage(), "[Detail] First SetNamedSecurityInfo call failed: 2\n" + security.expectedPath + " \n");
    }
}

TEST_F (FilePermissions, InstalledFilesAndFoldersGetTheListForReal)
{
    const auto destination = scratch / "dest";
    destination.getChildFile ("data/inner.txt").create();
    destination.getChildFile ("Vistrel.aex").create();
    const auto owner = ownerOf (destination.getChildFile ("Vistrel.aex"));

    InstallationTask task (ZipWriter().file ("Vistrel.aex", "x").folder ("data/").file ("data/inner.txt", "y").open(),
                           destination.getFullPathName(), true, true);
    HfInstallerThread::setWindowsPermissions (task);

    for (auto* path : { "Vistrel.aex", "data", "data/inner.txt" })
        EXPECT_EQ (aclText (destination.getChildFile (path)), installedAcl) << path;

    EXPECT_EQ (ownerOf (destination.getChildFile ("Vistrel.aex")), owner);

    // No entries, no files: nothing to do.
    EXPECT_NO_THROW (HfInstallerThread::setWindowsPermissions (
        InstallationTask (std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (nullptr, 0, false), true),
                          destination.getFullPathName(), true, true)));
}

TEST_F (FilePermissions, AMissingFileEndsTheStepAfterTheFilesBeforeIt)
{
    const auto destination = scratch / "dest";
    destination.getChildFile ("one.txt").create();
    destination.getChildFile ("three.txt").create();
    const auto untouched = aclText (destination.getChildFile ("three.txt"));

    InstallationTask task (ZipWriter().file ("one.txt", "1").file ("two.txt", "2").file ("three.txt", "3").open(),
                           destination.getFullPathName(), true, true);

    try
    {
        HfInstallerThread::setWindowsPermissions (task);
        ADD_FAILURE() << "nothing was thrown";
    }
    catch (const Error& e)
    {
        EXPECT_EQ (e.type, Error::PermissionsFileMissing);
        EXPECT_EQ (e.getMessage(), "[Detail] Did not find file that we should change windows permissions to: "
                                       + destination.getChildFile ("two.txt").getFullPathName());
    }

    EXPECT_EQ (aclText (destination.getChildFile ("one.txt")), installedAcl);
    EXPECT_EQ (aclText (destination.getChildFile ("three.txt")), untouched);
    EXPECT_NE (untouched, installedAcl);
}

TEST_F (FilePermissions, ALinkAtAnInstalledPathFailsTheStepAndItsTargetKeepsItsList)
{
    const auto destination = scratch / "dest";
    const auto secretFile = scratch / "private/secret.txt", secretFolder = scratch / "private/folder";
    secretFile.create();
    secretFolder.createDirectory();

    for (auto& f : { secretFile, secretFolder })
        ::chmod (f.getFullPathName().toRawUTF8(), 0700);

    struct Case
    {
        const char* what;
        juce::String entry;
        juce::File linkTarget;
    };

    const std::vector<Case> cases {
        { "file entry, link to a private file", "Vistrel.aex", secretFile },
        { "folder entry, link to a private folder", "data/", secretFolder },
        { "dangling link", "Vistrel.aex", scratch / "private/missing" },
    };

    const auto before = aclText (secretFile), beforeFolder = aclText (secretFolder);

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        destination.deleteRecursively();
        destination.createDirectory();
        const auto link = destination.getChildFile (c.entry.trimCharactersAtEnd ("/"));
        ASSERT_TRUE (c.linkTarget.createSymbolicLink (link, true));

        ZipWriter writer;
        (c.entry.endsWith ("/") ? writer.folder (c.entry) : writer.file (c.entry, "x"));
        InstallationTask task (writer.open(), destination.getFullPathName(), false, true);

        try
        {
            HfInstallerThread::setWindowsPermissions (task);
            ADD_FAILURE() << "nothing was thrown";
        }
        catch (const Error& e)
        {
            EXPECT_EQ (e.type, Error::PermissionsFailed);
            EXPECT_EQ (e.getMessage(), "[Detail] The installed path is a link, and permissions are never set through a link\n"
                                           + link.getFullPathName() + " \n");
        }

        EXPECT_TRUE (link.isSymbolicLink());
        EXPECT_EQ (aclText (secretFile), before);
        EXPECT_EQ (aclText (secretFolder), beforeFolder);
    }
}

//==============================================================================
namespace
{
    // Runs the probe through setpriv and answers what it printed.
    juce::String runProbe (const juce::StringArray& setprivOptions, const juce::File& file, const juce::File& folder)
    {
        // A copy that every user may run, whatever the build folder allows.
        const auto probe = folder.getChildFile ("file_security_probe");
        juce::File (HF_FILE_SECURITY_PROBE).copyFileTo (probe);
        probe.setExecutePermission (true);

        juce::StringArray command { "setpriv" };
        command.addArray (setprivOptions);
        command.add (probe.getFullPathName());
        command.add (file.getFullPathName());

        juce::ChildProcess child;

        if (! child.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return "(could not start setpriv)";

        auto output = child.readAllProcessOutput();
        child.waitForProcessToFinish (30000);
        return output;
    }

    struct FilePermissionsForReal : EngineTest
    {
        void SetUp() override
        {
            if (::geteuid() != 0)
                GTEST_SKIP() << "These tests run the probe as other users and with fewer capabilities, which needs root";

            ::chmod (scratch.get().getFullPathName().toRawUTF8(), 0755);
        }
    };
}

TEST_F (FilePermissionsForReal, AUserWithoutTheTakeOwnershipPrivilegeIsToldSo)
{
    const auto file = scratch / "Vistrel.aex";
    file.replaceWithText ("plug-in");
    const auto before = aclText (file);

    const auto output = runProbe ({ "--reuid=nobody", "--regid=nogroup", "--clear-groups" }, file, scratch.get());

    EXPECT_EQ (output, "The token does not have the specified privilege. \n"
                       "Process was not started as Administrator: The token does not have the specified privilege.\n");
    EXPECT_EQ (aclText (file), before);
    EXPECT_EQ (ownerOf (file), 0u);
}

TEST_F (FilePermissionsForReal, AccessDeniedIsOvercomeByTakingOwnership)
{
    // Root without CAP_FOWNER may not set the list of another user's file, but with
    // CAP_CHOWN it can make the file its own and then set the list.
    const auto file = scratch / "Vistrel.aex";
    file.replaceWithText ("plug-in");
    ASSERT_EQ (::chown (file.getFullPathName().toRawUTF8(), 65534, 65534), 0);

    const auto output = runProbe ({ "--inh-caps=-all", "--bounding-set=-all,+chown" }, file, scratch.get());

    EXPECT_EQ (output, "ok\n");
    EXPECT_EQ (ownerOf (file), 0u);
    EXPECT_EQ (aclText (file), installedAcl);
}

TEST_F (FilePermissionsForReal, AFileThatCannotBeChangedAtAllFailsAtTheOwner)
{
    const auto file = scratch / "Vistrel.aex";
    file.replaceWithText ("plug-in");

    if (! setImmutable (file, true))
        GTEST_SKIP() << "This file system cannot make a file immutable";

    // On a thread of its own, as in a run: the privilege is adjusted for the calling thread.
    auto result = juce::Result::ok();
    std::thread worker ([&] { result = setFilePermissions (file.getFullPathName()); });
    worker.join();
    setImmutable (file, false);

    EXPECT_EQ (result.getErrorMessage(), "Could not set owner. Error:5");
}
