// Sets each given file's access-control list as the installer does and prints the
// outcome, one line per file: "ok" or the failure text. The engine tests run it as
// other users and with fewer capabilities, so that the denied paths run for real.

#include "engine/FilePermissions.h"

#include <cstdio>

int main (int argc, char** argv)
{
    int failures = 0;

    for (int i = 1; i < argc; ++i)
    {
        auto result = setFilePermissions (juce::String::fromUTF8 (argv[i]));
        std::printf ("%s\n", result.wasOk() ? "ok" : result.getErrorMessage().toRawUTF8());
        failures += result.failed() ? 1 : 0;
    }

    return failures == 0 ? 0 : 1;
}
