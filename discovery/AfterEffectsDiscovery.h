#pragma once

#include "discovery/AfterEffectsInstallation.h"

#include <vector>

// The plug-in folders that the registry names for the After Effects versions from CS5
// to CC 2015.3, in that order, one record for each folder that exists.
std::vector<AfterEffectsInstallation> discoverAfterEffectsInstallations();

// Whether a process whose executable is "AfterFX.exe" runs (names compared without
// regard to case).
bool isAfterEffectsRunning();
