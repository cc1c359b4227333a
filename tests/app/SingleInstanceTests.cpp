#include "app/MainWindow.h"
#include "engine/HfInstallationManager.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#if ! JUCE_WINDOWS
 #include <csignal>
 #include <fcntl.h>
 #include <sys/wait.h>
 #include <unistd.h>
#endif

namespace
{
    // The application's single-instance lock, held as another running installer holds it.
   #if JUCE_WINDOWS
    class RunningInstanceLock
    {
    public:
        // A named mutex: JUCE refuses a second holder of the name, in this process too.
        explicit RunningInstanceLock (const juce::String& applicationName)
            : lock ("juceAppLock_" + applicationName), held (lock.enter (0)) {}

    private:
        juce::InterProcessLock lock;

    public:
        const bool held;
    };
   #else
    class RunningInstanceLock
    {
    public:
        // An fcntl lock on JUCE's lock file. Such locks belong to a process, so a child holds it.
        explicit RunningInstanceLock (const juce::String& applicationName)
        {
            const juce::File folder (juce::File ("/var/tmp").isDirectory() ? "/var/tmp" : "/tmp");
            const auto path = folder.getChildFile ("juceAppLock_" + applicationName).getFullPathName().toStdString();

            int ready[2];
            if (pipe (ready) != 0)
                return;

            child = fork();
            if (child == 0)
            {
                struct flock fl {};
                fl.l_whence = SEEK_SET;
                fl.l_type = F_WRLCK;
                const int fd = open (path.c_str(), O_RDWR | O_CREAT, 0666);
                const char locked = (fd >= 0 && fcntl (fd, F_SETLKW, &fl) == 0) ? 1 : 0;
                if (write (ready[1], &locked, 1) != 1)
                    _exit (1);
                for (;;)
                    pause();
            }

            close (ready[1]);
            char locked = 0;
            held = child > 0 && read (ready[0], &locked, 1) == 1 && locked == 1;
            close (ready[0]);
        }

        ~RunningInstanceLock()
        {
            if (child > 0)
            {
                kill (child, SIGKILL);
                waitpid (child, nullptr, 0);
            }
        }

        RunningInstanceLock (const RunningInstanceLock&) = delete;
        RunningInstanceLock& operator= (const RunningInstanceLock&) = delete;

        bool held = false;

    private:
        pid_t child = -1;
    };
   #endif
}

// JUCE's start-up hands a second instance's command line over and then calls shutdown
// although initialise never ran: that shutdown leaves everything alone.
TEST (SingleInstance, ASecondInstanceEndsWithoutItsShutdownTouchingTheManager)
{
    auto& app = TestApplication::get();
    auto& manager = *HfInstallationManager::getInstance();
    manager.reset();
    manager.setTargetSubdirectory ("Hollowfen/Vistrel");
    InstallationEntry entry;
    entry.kind = 1;
    entry.archive = std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (nullptr, 0, false), true);
    manager.addEntry (entry);
    manager.setTargetDirectories ({ "/first/instance/folder" });

    RunningInstanceLock firstInstance (app.getApplicationName());
    ASSERT_TRUE (firstInstance.held);

    // What JUCE's application main does, through the base that it holds the application by.
    juce::JUCEApplicationBase& base = app;
    EXPECT_FALSE (base.initialiseApp());
    EXPECT_EQ (base.shutdownApp(), 0);

    EXPECT_EQ (manager.buildTasks().size(), 1u) << "the manager was reset";
    EXPECT_EQ (manager.getTargetSubdirectory(), "Hollowfen/Vistrel");
    EXPECT_EQ (app.getMainWindow(), nullptr);
    manager.reset();
}
