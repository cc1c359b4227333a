#include "platform/Registry.h"

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
        // The value's bytes as the registry keeps them. A string is read up to its
        // terminating null or the end of its data, whichever comes first: the registry
        // does not promise the terminator.
        juce::MemoryBlock data;
        const auto type = juce::WindowsRegistry::getBinaryValue (valuePath, data, juceMode (mode));

        if (type == regSz)
        {
            const auto* chars = static_cast<const juce::CharPointer_UTF16::CharType*> (data.getData());
            const auto available = data.getSize() / sizeof (juce::CharPointer_UTF16::CharType);
            size_t length = 0;

            while (length < available && chars[length] != 0)
                ++length;

            // A high surrogate cut off by the end of the data would read past it.
            if (length > 0 && (chars[length - 1] & 0xfc00) == 0xd800)
                --length;

            return juce::String (juce::CharPointer_UTF16 (chars), length);
        }

        if (type == regDword && data.getSize() == sizeof (juce::uint32))
            return juce::String (static_cast<int> (juce::ByteOrder::littleEndianInt (data.getData())));

        return defaultValue;
    }
}
