#include "app/EmbeddedArchive.h"

#include "engine/ZipArchive.h"
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

    // The bytes stay valid for the whole run, so the archive reads them where they lie;
    // opened this way it also knows each entry's CRC-32, which the extraction checks.
    entry.archive = ZipArchive::open (data, size);
    return entry;
}
