#pragma once

#include <juce_core/juce_core.h>

// The After Effects host names that discovery gives its records, one per registry
// version key, and the two texts of the folder page.
namespace HostNames
{
    extern const juce::String afterEffectsCS5;       // version key 10.0 (or 10)
    extern const juce::String afterEffectsCS55;      // 10.5
    extern const juce::String afterEffectsCS6;       // 11
    extern const juce::String afterEffectsCC;        // 12
    extern const juce::String afterEffectsCC2014;    // 13
    extern const juce::String afterEffectsCC2015;    // 13.5
    extern const juce::String afterEffectsCC20153;   // 13.8

    // The name of a record made from a folder that the user browsed to.
    extern const juce::String customLocation;

    // The folder page's hint when discovery finds nothing.
    extern const juce::String locateAfterEffectsFolder;
}
