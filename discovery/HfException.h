#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <exception>

// The error of the version parser: type 4 and a message. std::exception's own text is
// left as it is. Thrown by value, caught by reference.
class HfException : public std::exception
{
public:
    explicit HfException (const juce::String& text) : message (text) {}
    HfException (const HfException&) = default;
    ~HfException() override = default;

    std::int32_t type = 4;
    juce::String message;
};
