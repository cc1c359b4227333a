// Makes the stand-in plug-in that the installer carries when no payload is given:
// a PE DLL whose version resource names the installer's version as product version.

#include "resources/PeImageWriter.h"

#include <cstdio>
#include <fstream>

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: make_stub_plugin <output file> <product version>\n");
        return 2;
    }

    auto image = pe::pluginWithProductVersion (argv[2]);
    std::ofstream out (argv[1], std::ios::binary | std::ios::trunc);
    out.write (reinterpret_cast<const char*> (image.data()), static_cast<std::streamsize> (image.size()));
    out.close();

    if (! out)
    {
        std::fprintf (stderr, "make_stub_plugin: could not write %s\n", argv[1]);
        return 1;
    }

    return 0;
}
