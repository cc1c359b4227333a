#pragma once

#include <string>
#include <vector>

// The running processes, as a process snapshot lists them.
namespace platform
{
    // The executable file name (without folder) of every running process, as narrow
    // (UTF-8) text; empty when the list cannot be taken.
    std::vector<std::string> getRunningProcessNames();
}
