#pragma once

#include "engine/HfInstallerThreadException.h"
#include "engine/InstallationTask.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <vector>

// Installs a list of tasks on a worker thread of its own: each task's archive is
// extracted into a temporary folder, moved into its destination, and its files get
// their access-control list. Changes of phase and progress and the end of a run reach
// the listener on the message thread.
class HfInstallerThread : public juce::Thread,
                          public juce::AsyncUpdater
{
public:
    enum State
    {
        Ready = 0,
        Running = 1,
        Succeeded = 2,
        CancelRequested = 3,
        Failed = 4            // with a last error of type None: cancelled
    };

    // The numbers are not the order of work: a task is extracted, moved, then given permissions.
    enum Phase
    {
        NotStarted = 0,
        Extracting = 1,
        SettingPermissions = 2,
        MovingFiles = 3,
        CleaningUp = 4
    };

    class Listener
    {
    public:
        virtual ~Listener() = default;

        // Called on the message thread; updates are merged, so read the current values.
        virtual void installerUpdated() = 0;
    };

    explicit HfInstallerThread (Listener* listener);
    ~HfInstallerThread() override;

    // Message thread, while the worker is not running. The new list must be prepared
    // before it can be started.
    void setTasks (const std::vector<InstallationTask>& newTasks);

    // Resets the thread for a new run, checks the archives and the free disk space.
    // Throws HfInstallerThreadException (StillInProgress, InvalidArchive, NotEnoughDiskSpace).
    void prepare();

    // Throws StillInProgress unless prepared, Ready and not running.
    void start();

    // Asks a running installation to stop before its next task or archive entry, or between
    // the chunks of a large entry; a task's move is finished first.
    void cancel();

    int getState() const;
    void setState (int newState);
    int getPhase() const;
    void setPhase (int newPhase, bool notify);
    void setError (const HfInstallerThreadException& error);
    HfInstallerThreadException getLastError() const;

    // The fraction of the planned bytes extracted so far; -1.0 when a cancelled run has
    // just ended.
    double getProgress() const;
    juce::int64 getTotalBytes() const;

    void run() override;
    void handleAsyncUpdate() override;

    //==============================================================================
    // The steps of one task, called on the worker.

    // The installer's temporary folder below the system's. Throws InvalidTemporaryFolder
    // for an empty name, a path shorter than 6 characters, or a folder that is not safe
    // to use (see the implementation).
    static juce::File getTemporaryFolder();

    // "file-<index>" below the temporary folder, which is fixed at its first use.
    static juce::File getTaskTemporaryFolder (int index);

    // True when the destination is a read-only file or holds one at any depth.
    static bool needsPrivileges (const InstallationTask& task);

    // Extracts the task's archive into its task folder. Returns false when it stopped
    // early for a cancel or exit request, before an entry or between the chunks of one
    // (whose partial file is removed). Throws ExtractionFailed (with the entry's index) or
    // InvalidTemporaryFolder.
    bool extractFiles (const InstallationTask& task, int index);

    // Moves the extracted files into the destination. Returns false when an exit request
    // stopped a copy across volumes (the file at its target stays as it was, and no copy
    // is left). Throws HfPrivilegedOperationsException when needsPrivileges is set, else
    // DeleteFailed, MoveFailed or CreateDirectoryFailed.
    bool moveFromTemporaryFolder (const InstallationTask& task, int index, bool needsPrivileges);

    // Gives every installed file and folder of the task its access-control list, never
    // through a link. A folder of the archive that holds no file is not installed, and is
    // left out. Throws PermissionsFileMissing or PermissionsFailed (also for a link).
    static void setWindowsPermissions (const InstallationTask& task);

protected:
    // Starts the worker (juce::Thread::startThread); false when the system cannot start a
    // thread. A test may refuse here.
    virtual bool startWorker();

private:
    std::vector<InstallationTask> tasks;
    bool useTemporaryFolder = true;
    bool prepared = false;
    bool allowPrivilegedOperations = false;

    juce::CriticalSection stateLock;
    int state = Ready;
    juce::CriticalSection phaseLock;
    int phase = NotStarted;

    // 64 bits wide, like totalBytes, so that installations of 4 GiB and more are counted
    // exactly rather than wrapped.
    std::atomic<juce::uint64> bytesDone { 0 };

    // Written by the worker just before the state Failed; read after that state is seen.
    juce::CriticalSection errorLock;
    HfInstallerThreadException lastError { HfInstallerThreadException::None, {} };

    juce::int64 totalBytes = 0;
    Listener* listener;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HfInstallerThread)
};
