#pragma once

// Folders that no other process can have picked: the name has a random part and the
// system creates it only where nothing of that name exists, in one step.
// (juce::File::getNonexistentChildFile only looks for a free name, which another test
// process may take before this one creates it.)

#include <juce_core/juce_core.h>

#include <stdexcept>

#ifdef _WIN32
 #include "platform/win32/WindowsHeaders.h"
#else
 #include <cstdlib>
 #include <string>
 #include <sys/stat.h>
 #include <vector>
#endif

namespace testing_support
{
    namespace detail
    {
        // A test cannot go on without its folder: the fixture fails loudly.
        [[noreturn]] inline void cannotMake (const juce::File& parent)
        {
            throw std::runtime_error ("Could not make a temporary folder in " + parent.getFullPathName().toStdString());
        }
    }

#ifdef _WIN32
    namespace detail
    {
        // The name's random part: the process id and a random number.
        inline juce::String uniqueName (const juce::String& prefix)
        {
            static juce::Random random;
            return prefix + juce::String ((int) GetCurrentProcessId()) + "-"
                   + juce::String::toHexString (random.nextInt64());
        }
    }

    // Makes a new folder below parent, named prefix followed by a random part.
    inline juce::File makeUniqueFolder (const juce::File& parent, const juce::String& prefix)
    {
        for (;;)
        {
            auto folder = parent.getChildFile (detail::uniqueName (prefix));

            if (CreateDirectoryW (folder.getFullPathName().toWideCharPointer(), nullptr))
                return folder;

            if (GetLastError() != ERROR_ALREADY_EXISTS)
                detail::cannotMake (parent);
        }
    }
#else
    // Makes a new folder below parent, named prefix followed by a random part. Its mode is
    // that of a folder JUCE makes (0755), so that helpers run as other users can reach
    // what a test puts there.
    inline juce::File makeUniqueFolder (const juce::File& parent, const juce::String& prefix)
    {
        auto pattern = parent.getChildFile (prefix + "XXXXXX").getFullPathName().toStdString();
        std::vector<char> path (pattern.begin(), pattern.end());
        path.push_back (0);

        if (::mkdtemp (path.data()) == nullptr)
            detail::cannotMake (parent);

        ::chmod (path.data(), 0755);
        return juce::File (juce::String::fromUTF8 (path.data()));
    }
#endif
}
