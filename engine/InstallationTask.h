#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

// One unit of work of the installer thread: one archive installed into one folder.
struct InstallationTask
{
    InstallationTask (std::shared_ptr<juce::ZipFile> archive, const juce::String& destination,
                      bool overwrite, bool setPermissions);

    std::shared_ptr<juce::ZipFile> getArchive() const;

    // The file that each archive entry becomes once installed, in archive order.
    std::vector<juce::File> getInstalledFilePaths() const;

    std::shared_ptr<juce::ZipFile> archive;
    juce::String destination;
    bool overwrite;
    bool setPermissions;
};
