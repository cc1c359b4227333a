#include "platform/Registry.h"
#include "platform/Utf16Text.h"

// The system's registry, read through juce::WindowsRegistry.
namespace platform
{
    namespace
    {
        constexpr juce::uint32 regSz = 1, regDword = 4;

        juce::WindowsRegistry::WoW64Mode juceMode (Registry::WoW64Mode mode)
        {
            return mode == Registry::WoW64_64bit ? juce::WindowsRegistry::WoW64_64bit
                                                 : juce::WindowsRegistry::WoW64_Default;
        }
    }

    bool Registry::keyExists (const juce::String& valuePath, WoW64Mode mode)
    {
        // juce::WindowsRegistry::keyExists opens its whole argument as a key; the key that
        // holds a value is the value path without its last part.
        if (! valuePath.containsChar ('\\'))
            return false;

        return juce::WindowsRegistry::keyExists (valuePath.upToLastOccurrenceOf ("\\", false, false), juceMode (mode));
    }

    juce::String Registry::getValue (const juce::String& valuePath, const juce::String& defaultValue, WoW64Mode mode)
    {
        // The value's bytes as the registry keeps them: a string need not end in a null.
        juce::MemoryBlock data;
        const auto type = juce::WindowsRegistry::getBinaryValue (valuePath, data, juceMode (mode));

        if (type == regSz)
            return textFromUtf16 (data.getData(), data.getSize());

        if (type == regDword && data.getSize() == sizeof (juce::uint32))
            return juce::String (static_cast<int> (juce::ByteOrder::littleEndianInt (data.getData())));

        return defaultValue;
    }
}
