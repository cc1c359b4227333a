#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// What the application registers with the installation manager: an archive and where
// its entries go. Kind 1 (and any value but 0 and 2): into every target folder;
// 0 and 2: once, below basePath.
struct InstallationEntry
{
    std::int32_t kind = 1;
    std::shared_ptr<juce::ZipFile> archive;
    juce::String basePath;
    bool overwrite = false;
    bool setPermissions = false;

    juce::String getBasePath() const { return basePath; }
    std::shared_ptr<juce::ZipFile> getArchive() const { return archive; }
};
