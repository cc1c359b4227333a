#include "app/VistrelInstallerApplication.h"

START_JUCE_APPLICATION (VistrelInstallerApplication)
