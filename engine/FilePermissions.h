#pragma once

#include "platform/FileSecurity.h"

#include <juce_core/juce_core.h>

// Gives the file its own access-control list: Everyone may read and execute it,
// Administrators have full control. Where that is denied, the take-ownership privilege
// is enabled, Administrators are made the owner, the privilege is disabled and the list
// is set once more.
juce::Result setFilePermissions (const juce::String& path);
juce::Result setFilePermissions (const wchar_t* path);

// Enables or disables the take-ownership privilege in the token. Failures are also
// printed to standard output.
juce::Result SetPrivilege (platform::TokenHandle token, bool enable);
