#include "platform/ProcessList.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

// A process's executable name is its comm, which the kernel cuts to 15 bytes; for a
// name of that length the base name of its first argument is taken instead when it
// begins with the comm (a process that rewrote its arguments keeps its comm).
namespace platform
{
    namespace
    {
        constexpr std::size_t commLength = 15;

        bool isProcessId (const char* name)
        {
            if (*name == 0)
                return false;

            for (; *name != 0; ++name)
                if (*name < '0' || *name > '9')
                    return false;

            return true;
        }

        // The whole of a file of /proc; empty when it cannot be read. A process that ends
        // while its files are read fails the read (ESRCH): that is its end, not the list's.
        std::string readFile (const std::string& path)
        {
            std::string content;
            const int fd = ::open (path.c_str(), O_RDONLY | O_CLOEXEC);

            if (fd < 0)
                return content;

            char buffer[4096];

            for (;;)
            {
                const auto got = ::read (fd, buffer, sizeof (buffer));

                if (got > 0)
                    content.append (buffer, static_cast<std::size_t> (got));
                else if (got < 0 && errno == EINTR)
                    continue;
                else
                {
                    if (got < 0)
                        content.clear();
                    break;
                }
            }

            ::close (fd);
            return content;
        }

        std::string executableName (const std::string& processFolder)
        {
            auto comm = readFile (processFolder + "/comm");
            if (! comm.empty() && comm.back() == '\n')
                comm.pop_back();

            if (comm.size() < commLength)
                return comm;

            const auto commandLine = readFile (processFolder + "/cmdline");
            const auto firstArgument = commandLine.substr (0, commandLine.find ('\0'));
            const auto slash = firstArgument.find_last_of ('/');
            const auto baseName = slash == std::string::npos ? firstArgument : firstArgument.substr (slash + 1);

            return baseName.size() > comm.size() && baseName.compare (0, comm.size(), comm) == 0 ? baseName : comm;
        }
    }

    std::vector<std::string> getRunningProcessNames()
    {
        std::vector<std::string> names;
        DIR* proc = ::opendir ("/proc");

        if (proc == nullptr)
            return names;

        while (auto* entry = ::readdir (proc))
        {
            if (! isProcessId (entry->d_name))
                continue;

            // A process that ended since the listing reads as empty: leave it out.
            auto name = executableName (std::string ("/proc/") + entry->d_name);
            if (! name.empty())
                names.push_back (std::move (name));
        }

        ::closedir (proc);
        return names;
    }
}
