// One main for every test executable: JUCE's GUI subsystem is initialised once for the
// whole run, and one application object answers the product hooks.

#include "tests/support/TemporaryFiles.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#ifndef _WIN32
 #include <sched.h>
 #include <sys/mount.h>
#endif

TestApplication& TestApplication::get()
{
    return *dynamic_cast<TestApplication*> (juce::JUCEApplicationBase::getInstance());
}

namespace
{
#ifndef _WIN32
    // The small volumes that tests mount are seen by this process and its children only,
    // and go with it: no other process on the machine sees them come and go. It must be
    // done before the first thread starts, as a new mount namespace is the calling
    // thread's alone. Where the process may not do it, it may not mount either.
    void usePrivateMounts()
    {
        if (::unshare (CLONE_NEWNS) == 0)
            ::mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    }
#endif

    // The system temporary folder of this test process is a folder of its own: whatever
    // the code under test keeps there (the installer's temporary root among it) is seen
    // by no test that runs beside it.
    class PrivateTemporaryFolder
    {
    public:
        PrivateTemporaryFolder()
            : folder (testing_support::makeUniqueFolder (juce::File::getSpecialLocation (juce::File::tempDirectory), "hf-tests-"))
        {
           #ifdef _WIN32
            SetEnvironmentVariableW (L"TMP", folder.getFullPathName().toWideCharPointer());
            SetEnvironmentVariableW (L"TEMP", folder.getFullPathName().toWideCharPointer());
           #else
            setenv ("TMPDIR", folder.getFullPathName().toRawUTF8(), 1);
           #endif
        }

        ~PrivateTemporaryFolder() { folder.deleteRecursively(); }

    private:
        juce::File folder;
    };
}

int main (int argc, char** argv)
{
   #ifndef _WIN32
    usePrivateMounts();
   #endif

    ::testing::InitGoogleTest (&argc, argv);

    PrivateTemporaryFolder temporaryFolder;
    juce::ScopedJuceInitialiser_GUI juce;
    TestApplication application;

    return RUN_ALL_TESTS();
}
