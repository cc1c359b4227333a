#pragma once

#include "engine/InstallationEntry.h"
#include "engine/InstallationTask.h"

#include <vector>

// Collects what is to be installed and where, and turns it into installation tasks.
// One per process; message thread only.
class HfInstallationManager
{
public:
    static HfInstallationManager* getInstance();

    virtual ~HfInstallationManager();

    void addEntry (const InstallationEntry& entry);

    // Throws a const char* for "/" and for an empty text; the stored value is then unchanged.
    void setTargetSubdirectory (const juce::String& subdirectory);

    virtual void setTargetDirectories (const std::vector<juce::String>& directories);

    // Per-target tasks first (folders outer, entries inner), then one per global entry.
    std::vector<InstallationTask> buildTasks() const;

    void reset();

    juce::String getTargetSubdirectory() const { return targetSubdirectory; }

private:
    HfInstallationManager() = default;

    std::vector<InstallationEntry> globalEntries;
    std::vector<InstallationEntry> targetEntries;
    std::vector<juce::String> targetDirectories;
    juce::String targetSubdirectory;
};
