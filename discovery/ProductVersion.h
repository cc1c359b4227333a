#pragma once

#include <juce_core/juce_core.h>

// The product version that the file's version resource gives in its string table for
// language 0409, code page 04b0; empty when the file is missing, is no executable, or
// has no such value.
juce::String getProductVersion (const juce::File& file);
