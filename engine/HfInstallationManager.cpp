#include "engine/HfInstallationManager.h"

HfInstallationManager* HfInstallationManager::getInstance()
{
    static HfInstallationManager instance;
    return &instance;
}

HfInstallationManager::~HfInstallationManager() = default;

void HfInstallationManager::addEntry (const InstallationEntry& entry)
{
    if (entry.kind == 0 || entry.kind == 2)
        globalEntries.push_back (entry);
    else
        targetEntries.push_back (entry);
}

void HfInstallationManager::setTargetSubdirectory (const juce::String& subdirectory)
{
    if (subdirectory == "/")
        throw "Target directory cannot be root '/'";

    if (subdirectory.isEmpty())
        throw "Target directory cannot be empty";

    targetSubdirectory = subdirectory;
}

void HfInstallationManager::setTargetDirectories (const std::vector<juce::String>& directories)
{
    targetDirectories = directories;
}

std::vector<InstallationTask> HfInstallationManager::buildTasks() const
{
    std::vector<InstallationTask> tasks;

    for (auto& folder : targetDirectories)
        for (auto& entry : targetEntries)
            tasks.emplace_back (entry.getArchive(), folder + juce::File::getSeparatorString() + targetSubdirectory,
                                entry.overwrite, entry.setPermissions);

    for (auto& entry : globalEntries)
        tasks.emplace_back (entry.getArchive(), entry.getBasePath() + juce::File::getSeparatorString() + targetSubdirectory,
                            entry.overwrite, entry.setPermissions);

    return tasks;
}

void HfInstallationManager::reset()
{
    std::vector<juce::String>().swap (targetDirectories);
    std::vector<InstallationEntry>().swap (globalEntries);
    std::vector<InstallationEntry>().swap (targetEntries);
}
