#pragma once

#include "discovery/HfException.h"

#include <cstdint>

// A plug-in version: major.minor.patch, then the release type (1 for an "a" release,
// 2 for "b", 3 for a final release; 0 to 3 when given as a fourth number) and the
// build. Ordered field by field in that order.
struct PluginVersion
{
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t patch = 0;
    std::int32_t releaseType = 3;
    std::int32_t build = 0;
};

bool operator== (const PluginVersion& a, const PluginVersion& b);
bool operator!= (const PluginVersion& a, const PluginVersion& b);
bool operator< (const PluginVersion& a, const PluginVersion& b);
bool operator> (const PluginVersion& a, const PluginVersion& b);

// Parses "1.3.2", "1.3.2a5", "1.3.2b5", "1.3.2.0.7" and the like. Fields that are no
// number read as 0. Throws HfException for a text without fields and for a fourth
// field outside 0 to 3.
PluginVersion parseVersion (const juce::String& text);
