#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

namespace platform
{
    // The text of little-endian UTF-16 bytes, as the registry keeps a string: the units up
    // to the first null or the end of the bytes (an odd last byte left out), a surrogate
    // left unpaired at their end dropped. Nothing beyond numBytes is read: the registry
    // does not promise the terminator.
    juce::String textFromUtf16 (const void* data, std::size_t numBytes);
}
