// The file steps of one task: temporary folders, the privilege test, extraction, move.

#include "engine/HfInstallerThread.h"

#include "app/HfInstallerApplication.h"
#include "engine/InstallerFiles.h"
#include "engine/ZipArchive.h"

#include <algorithm>
#include <functional>

juce::File HfInstallerThread::getTemporaryFolder()
{
    auto* application = HfInstallerApplication::getInstaller();
    const auto name = application != nullptr ? application->getTemporaryFolderName() : juce::String();

    if (name.isEmpty())
        throw HfInstallerThreadException (HfInstallerThreadException::InvalidTemporaryFolder, {});

    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);

    if (folder.getFullPathName().length() < 6)
        throw HfInstallerThreadException (HfInstallerThreadException::InvalidTemporaryFolder, {});

    // The system's temporary folder is open to every user and the installer runs with
    // administrator rights: a folder of this name that someone else could have made or
    // can change is refused, never used or deleted.
    auto safe = InstallerFiles::checkPrivateFolder (folder);

    if (safe.failed())
        throw HfInstallerThreadException (HfInstallerThreadException::InvalidTemporaryFolder, safe.getErrorMessage());

    return folder;
}

juce::File HfInstallerThread::getTaskTemporaryFolder (int index)
{
    // Fixed at the first call that succeeds; a call that throws stores nothing.
    static const juce::File root = getTemporaryFolder();
    return root.getChildFile ("file-" + juce::String (index));
}

bool HfInstallerThread::needsPrivileges (const InstallationTask& task)
{
    const juce::File destination (task.destination);

    if (! destination.isDirectory())
        return ! InstallerFiles::hasWriteAccess (destination);

    if (! InstallerFiles::hasWriteAccess (destination))
        return true;

    // noCycles: a link back up the tree must not make the walk endless.
    const auto children = destination.findChildFiles (juce::File::findFilesAndDirectories, true, "*",
                                                      juce::File::FollowSymlinks::noCycles);

    return std::any_of (children.begin(), children.end(),
                        [] (const juce::File& f) { return ! InstallerFiles::hasWriteAccess (f); });
}

bool HfInstallerThread::extractFiles (const InstallationTask& task, int index)
{
    auto archive = task.getArchive();
    juce::File target;

    if (useTemporaryFolder)
    {
        target = getTaskTemporaryFolder (index);

        // Made here, private to the running user, rather than as a side effect of the
        // first extracted entry.
        auto root = InstallerFiles::createPrivateFolder (target.getParentDirectory());

        if (root.failed())
            throw HfInstallerThreadException (HfInstallerThreadException::InvalidTemporaryFolder, root.getErrorMessage());

        target.deleteRecursively();
    }
    else
    {
        target = juce::File (task.destination);
    }

    // Asked before each entry and between the chunks of a large one.
    const std::function<bool()> shouldStop = [this] { return threadShouldExit() || getState() == CancelRequested; };

    for (int j = 0; j < archive->getNumEntries(); ++j)
    {
        if (shouldStop())
            return false;

        auto result = ZipArchive::extractEntry (*archive, j, target, ZipArchive::getEntryCrc32 (archive, j), shouldStop);

        if (result.wasStopped())
            return false;

        if (result.failed())
        {
            HfInstallerThreadException error (HfInstallerThreadException::ExtractionFailed,
                                              result.getErrorMessage()
                                                  + "  [Detail]: Could not uncompress Entry : " + archive->getEntry (j)->filename
                                                  + " into : " + target.getFullPathName());
            error.index = j;
            throw error;
        }

        bytesDone += static_cast<juce::uint64> (archive->getEntry (j)->uncompressedSize) & 0xffffffffu;
        triggerAsyncUpdate();
    }

    return true;
}

bool HfInstallerThread::moveFromTemporaryFolder (const InstallationTask& task, int index, bool needsPrivilegedOperations)
{
    const auto source = getTaskTemporaryFolder (index);
    const juce::File destination (task.destination);

    if (needsPrivilegedOperations)
        throw PrivilegedOperationsNeeded;

    if (! destination.exists())
    {
        if (destination.createDirectory().failed())
            throw HfInstallerThreadException (HfInstallerThreadException::CreateDirectoryFailed,
                                              "Detail: Could not create directory:: " + destination.getFullPathName());
    }

    // Sorted, so that the order of the moves does not depend on the file system.
    auto files = source.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no);
    files.sort();

    // Only an exit request stops a copy: a cancel waits for the task's move to end, so that
    // no task is left half installed.
    const std::function<bool()> shouldStop = [this] { return threadShouldExit(); };

    for (auto& file : files)
    {
        const auto target = destination.getChildFile (file.getRelativePathFrom (source));
        const auto parent = target.getParentDirectory();

        if (target.exists() && ! task.overwrite)
            continue;

        const HfInstallerThreadException notReplaced (HfInstallerThreadException::DeleteFailed,
                                                      "Detail: Could not delete this file: " + target.getFullPathName());

        if (target.isDirectory())
            throw notReplaced;

        if (! parent.exists() && parent.createDirectory().failed())
            throw HfInstallerThreadException (HfInstallerThreadException::CreateDirectoryFailed,
                                              "Detail: Could not create directory: " + parent.getFullPathName());

        // An old file at the target is not deleted first: the move replaces it in one step.
        switch (InstallerFiles::moveFile (file, target, shouldStop))
        {
            case InstallerFiles::MoveOutcome::moved:
                break;

            case InstallerFiles::MoveOutcome::stopped:
                return false;

            case InstallerFiles::MoveOutcome::oldFileKept:
                throw notReplaced;

            case InstallerFiles::MoveOutcome::failed:
                throw HfInstallerThreadException (HfInstallerThreadException::MoveFailed,
                                                  "Detail: Could not move this file : " + file.getFullPathName()
                                                      + " into : " + target.getFullPathName());
        }
    }

    return true;
}
