#include "platform/Utf16Text.h"

#include <vector>

namespace platform
{
    juce::String textFromUtf16 (const void* data, std::size_t numBytes)
    {
        using Unit = juce::CharPointer_UTF16::CharType;
        const auto* bytes = static_cast<const juce::uint8*> (data);

        std::vector<Unit> units;
        units.reserve (numBytes / 2);

        for (std::size_t i = 0; i + 1 < numBytes; i += 2)
        {
            const auto unit = static_cast<Unit> (bytes[i] | (bytes[i + 1] << 8));
            if (unit == 0)
                break;
            units.push_back (unit);
        }

        // JUCE reads the unit after a surrogate to pair it: one left unpaired at the end
        // would have it read beyond the text.
        auto isHigh = [] (Unit u) { return (u & 0xfc00) == 0xd800; };
        auto isLow = [] (Unit u) { return (u & 0xfc00) == 0xdc00; };

        while (! units.empty()
               && (isHigh (units.back())
                   || (isLow (units.back()) && (units.size() < 2 || ! isHigh (units[units.size() - 2])))))
            units.pop_back();

        if (units.empty())
            return {};

        return juce::String (juce::CharPointer_UTF16 (units.data()), juce::CharPointer_UTF16 (units.data() + units.size()));
    }
}
