#include "engine/InstallationTask.h"

#include "engine/ZipArchive.h"

InstallationTask::InstallationTask (std::shared_ptr<juce::ZipFile> archiveToInstall, const juce::String& destinationFolder,
                                    bool overwriteExisting, bool setFilePermissions)
    : archive (std::move (archiveToInstall)),
      destination (destinationFolder),
      overwrite (overwriteExisting),
      setPermissions (setFilePermissions)
{
}

std::shared_ptr<juce::ZipFile> InstallationTask::getArchive() const
{
    return archive;
}

std::vector<juce::File> InstallationTask::getInstalledFilePaths() const
{
    std::vector<juce::File> files;
    const juce::File root (destination);

    for (int i = 0; i < archive->getNumEntries(); ++i)
        files.push_back (root.getChildFile (ZipArchive::getEntryPath (*archive->getEntry (i))));

    return files;
}
