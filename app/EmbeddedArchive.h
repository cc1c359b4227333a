#pragma once

#include "engine/InstallationEntry.h"

// The entry of the archive embedded in the program (resource 103, RCDATA), read in
// place. Without the resource the entry has no archive.
InstallationEntry loadEmbeddedArchiveEntry();
