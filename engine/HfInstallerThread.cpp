#include "engine/HfInstallerThread.h"

#include "engine/InstallerFiles.h"

#include <string>
#include <unordered_map>

#if ! JUCE_WINDOWS
 #include <cxxabi.h>
#endif

HfInstallerThread::HfInstallerThread (Listener* listenerToUse)
    : juce::Thread ("HfInstallerThread"),
      listener (listenerToUse)
{
}

HfInstallerThread::~HfInstallerThread()
{
    stopThread (2000);
}

void HfInstallerThread::setTasks (const std::vector<InstallationTask>& newTasks)
{
    tasks = newTasks;
    prepared = false;
}

void HfInstallerThread::start()
{
    if (isThreadRunning() || getState() != Ready || ! prepared)
        throw HfInstallerThreadException (HfInstallerThreadException::StillInProgress, "Installation is still in progress");

    // A worker that the system cannot start is refused too, with a detail of its own.
    if (! startWorker())
        throw HfInstallerThreadException (HfInstallerThreadException::StillInProgress, "Detail: Could not start the installer thread");
}

bool HfInstallerThread::startWorker()
{
    return startThread();
}

void HfInstallerThread::cancel()
{
    const juce::ScopedLock sl (stateLock);

    if (state == Running)
        state = CancelRequested;
}

int HfInstallerThread::getState() const
{
    const juce::ScopedLock sl (stateLock);
    return state;
}

void HfInstallerThread::setState (int newState)
{
    const juce::ScopedLock sl (stateLock);
    state = newState;
}

int HfInstallerThread::getPhase() const
{
    const juce::ScopedLock sl (phaseLock);
    return phase;
}

void HfInstallerThread::setPhase (int newPhase, bool notify)
{
    const juce::ScopedLock sl (phaseLock);
    phase = newPhase;

    if (notify)
        triggerAsyncUpdate();
}

void HfInstallerThread::setError (const HfInstallerThreadException& error)
{
    // The error first: whoever reads the state Failed finds the complete error.
    {
        const juce::ScopedLock sl (errorLock);
        lastError = error;
    }

    setState (Failed);
}

HfInstallerThreadException HfInstallerThread::getLastError() const
{
    const juce::ScopedLock sl (errorLock);
    return lastError;
}

double HfInstallerThread::getProgress() const
{
    // A second look at a cancel request: the worker may just have ended the run.
    if (getState() == CancelRequested && getState() == Failed)
        return -1.0;

    // Nothing planned: there is no fraction; a finished run is complete.
    if (totalBytes <= 0)
        return getState() == Succeeded ? 1.0 : 0.0;

    return static_cast<double> (bytesDone.load()) / static_cast<double> (totalBytes);
}

juce::int64 HfInstallerThread::getTotalBytes() const
{
    return totalBytes;
}

void HfInstallerThread::handleAsyncUpdate()
{
    if (listener != nullptr)
        listener->installerUpdated();
}

//==============================================================================
namespace
{
    struct VolumeSpace
    {
        juce::int64 bytesRequired = 0;
        juce::int64 freeBytes = 0;
    };
}

void HfInstallerThread::prepare()
{
    prepared = false;

    if (getState() == Running)
        throw HfInstallerThreadException (HfInstallerThreadException::StillInProgress, {});

    totalBytes = 0;
    bytesDone = 0;

    {
        const juce::ScopedLock sl (errorLock);
        lastError = HfInstallerThreadException (HfInstallerThreadException::None, {});
    }

    setState (Ready);
    setPhase (NotStarted, false);

    std::unordered_map<std::string, VolumeSpace> volumes;

    for (auto& task : tasks)
    {
        auto archive = task.getArchive();

        if (archive == nullptr || archive->getNumEntries() == 0)
            throw HfInstallerThreadException (HfInstallerThreadException::InvalidArchive, {});

        // Entry sizes are 32-bit in the archive; their sums are kept in 64 bits so that
        // a total of 4 GiB or more is neither wrapped nor shown wrong.
        juce::uint64 taskBytes = 0;

        for (int i = 0; i < archive->getNumEntries(); ++i)
            taskBytes += static_cast<juce::uint64> (archive->getEntry (i)->uncompressedSize) & 0xffffffffu;

        totalBytes += static_cast<juce::int64> (taskBytes);

        const juce::File destination (task.destination);
        auto key = InstallerFiles::getVolumeKey (destination);
        auto row = volumes.find (key);

        if (row == volumes.end())
            row = volumes.emplace (key, VolumeSpace { static_cast<juce::int64> (taskBytes),
                                                      InstallerFiles::getBytesFreeOnVolume (destination) }).first;
        else
            row->second.bytesRequired += static_cast<juce::int64> (taskBytes);

        if (row->second.bytesRequired >= row->second.freeBytes)
            throw HfInstallerThreadException (HfInstallerThreadException::NotEnoughDiskSpace, {});
    }

    prepared = true;
}

void HfInstallerThread::run()
{
    try
    {
        setState (Running);

        for (auto& task : tasks)
            if (needsPrivileges (task) && ! allowPrivilegedOperations)
                throw PrivilegedOperationsNeeded;

        // Set when a cancel or exit request ends the loop before its last task is done.
        bool stopped = false;

        for (size_t i = 0; i < tasks.size(); ++i)
        {
            if (threadShouldExit() || getState() == CancelRequested)
            {
                stopped = true;
                break;
            }

            const auto task = tasks[i];
            const auto index = static_cast<int> (i);
            const auto needs = needsPrivileges (task);

            setPhase (Extracting, true);

            // A task whose extraction stopped early ends there: nothing of it is moved.
            if (! extractFiles (task, index))
            {
                stopped = true;
                break;
            }

            if (useTemporaryFolder)
            {
                setPhase (MovingFiles, true);

                // Stopped by an exit request in the middle of a copy.
                if (! moveFromTemporaryFolder (task, index, needs))
                {
                    stopped = true;
                    break;
                }
            }

            if (task.setPermissions)
            {
                setPhase (SettingPermissions, true);
                setWindowsPermissions (task);
            }
        }

        setPhase (CleaningUp, true);
        getTemporaryFolder().deleteRecursively();

        if (! stopped && bytesDone.load() == static_cast<juce::uint64> (totalBytes))
        {
            setState (Succeeded);
        }
        else if (getState() == CancelRequested)
        {
            if (useTemporaryFolder)
                getTemporaryFolder().deleteRecursively();

            setState (Failed);
        }
        else
        {
            setError (HfInstallerThreadException (HfInstallerThreadException::UnexpectedError,
                                                  "Installation was not successfull, but no error was triggered"));
            setState (Failed);
        }

        triggerAsyncUpdate();
    }
    catch (const HfInstallerThreadException& error)
    {
        setError (error);
        triggerAsyncUpdate();
    }
    catch (HfPrivilegedOperationsException)
    {
        setError (HfInstallerThreadException (HfInstallerThreadException::ExtractionFailed,
                                              "Could not aquire permissions to move to directory"));
        triggerAsyncUpdate();
    }
   #if ! JUCE_WINDOWS
    catch (abi::__forced_unwind&)
    {
        throw; // the thread is being ended by force: let the unwinding go on
    }
   #endif
    catch (...)
    {
        setError (HfInstallerThreadException (HfInstallerThreadException::UnexpectedError, "Unexpected fatal error"));
        triggerAsyncUpdate();
    }
}
