#include "discovery/HostNames.h"

namespace HostNames
{
    const juce::String afterEffectsCS5 ("Adobe After Effects CS5");
    const juce::String afterEffectsCS55 ("Adobe After Effects CS5.5");
    const juce::String afterEffectsCS6 ("Adobe After Effects CS6");
    const juce::String afterEffectsCC ("Adobe After Effects CC");
    const juce::String afterEffectsCC2014 ("Adobe After Effects CC 2014");
    const juce::String afterEffectsCC2015 ("Adobe After Effects CC 2015");
    const juce::String afterEffectsCC20153 ("Adobe After Effects CC 2015.3");

    const juce::String customLocation ("Custom location");
    const juce::String locateAfterEffectsFolder ("Please locate your After\nEffects folder.");
}
