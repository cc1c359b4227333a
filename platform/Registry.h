#pragma once

#include <juce_core/juce_core.h>

// Read-only access to the registry, as juce::WindowsRegistry gives it: a value is named
// by its path, the root key, the key path and the value name joined by backslashes
// ("HKEY_LOCAL_MACHINE\SOFTWARE\Maker\Product\ValueName").
//
// On Linux the registry is the registry export file (the .reg format that regedit
// writes) named by the environment variable HF_REGISTRY_FILE; without it, or when the
// file cannot be read or parsed, the registry is empty. Both views read the same keys.
namespace platform
{
    struct Registry
    {
        enum WoW64Mode
        {
            WoW64_Default = 0,
            WoW64_64bit = 0x100     // KEY_WOW64_64KEY
        };

        // Whether the key that holds the value (the path up to its last backslash) exists.
        static bool keyExists (const juce::String& valuePath, WoW64Mode mode = WoW64_Default);

        // A string value's text, or a 32-bit number's decimal text; defaultValue for a
        // missing value and for a value of any other type.
        static juce::String getValue (const juce::String& valuePath, const juce::String& defaultValue = {},
                                      WoW64Mode mode = WoW64_Default);
    };
}
