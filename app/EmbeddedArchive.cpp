#include "app/EmbeddedArchive.h"

#include "platform/Resources.h"

InstallationEntry loadEmbeddedArchiveEntry()
{
    InstallationEntry entry;
    entry.kind = 1;
    entry.overwrite = true;
    entry.setPermissions = true;

    auto resource = platform::findResource (103, platform::rtRcData);
    auto loaded = platform::loadResource (resource);
    auto* data = platform::lockResource (loaded);
    auto size = platform::sizeofResource (resource);

    if (loaded == nullptr)
        return entry;

    // The bytes stay valid for the whole run, so the stream reads them where they lie.
    auto* stream = new juce::MemoryInputStream (data, size, false);
    entry.archive = std::make_shared<juce::ZipFile> (stream, true);
    return entry;
}
