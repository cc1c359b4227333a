#include "discovery/ProductVersion.h"

#include "platform/VersionInfo.h"

#include <string>
#include <vector>

juce::String getProductVersion (const juce::File& file)
{
    const std::string path = file.getFullPathName().toStdString();

    std::uint32_t handle = 0;
    const auto size = platform::getFileVersionInfoSize (path.c_str(), &handle);

    if (size == 0)
        return {};

    std::vector<char> info (size, 0);

    if (! platform::getFileVersionInfo (path.c_str(), 0, size, info.data()))
        return {};

    void* value = nullptr;
    std::uint32_t length = 0;

    if (! platform::verQueryValue (info.data(), "\\StringFileInfo\\040904b0\\ProductVersion", &value, &length))
        return {};

    return juce::String::createStringFromData (value, static_cast<int> (length));
}
