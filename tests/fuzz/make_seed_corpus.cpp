// Writes the fuzz target's seed inputs: PE images made by the project's writer and bare
// version resources, each behind the byte that tells the target which it is.

#include "resources/PeImageWriter.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace
{
    bool write (const std::string& folder, const std::string& name, std::uint8_t kind, const pe::Bytes& bytes)
    {
        std::ofstream out (folder + "/" + name, std::ios::binary | std::ios::trunc);
        out.put (static_cast<char> (kind));
        out.write (reinterpret_cast<const char*> (bytes.data()), static_cast<std::streamsize> (bytes.size()));
        return static_cast<bool> (out);
    }
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: make_seed_corpus <folder>\n");
        return 2;
    }

    const std::string folder (argv[1]);
    const auto info = pe::productVersionInfo ("1.3.2");
    const auto otherBlock = pe::productVersionInfo ("1.3.2", "040904e4");
    const auto twoTables = pe::versionInfo ({ { "040704b0", { { "ProductVersion", "7" } } },
                                              { "040904b0", { { "ProductVersion", "1.3.2 \xCE\xB2 \xF0\x9F\x98\x80" } } } });

    const bool ok = write (folder, "pe32plus", 0, pe::pluginWithProductVersion ("1.3.2", true))
        && write (folder, "pe32", 0, pe::pluginWithProductVersion ("1.3.2a5", false))
        && write (folder, "no-resources", 0, pe::dllImage ({}))
        && write (folder, "other-block", 0, pe::dllImage ({ { pe::rtVersion, 1, pe::langEnUs, otherBlock } }))
        && write (folder, "several-resources", 0, pe::dllImage ({ { 10, 103, pe::langEnUs, pe::Bytes (64, 1) },
                                                                  { pe::rtVersion, 1, pe::langEnUs, twoTables } }, false))
        && write (folder, "several-languages", 0, pe::dllImage ({ { pe::rtVersion, 1, 0x0001, pe::productVersionInfo ("1", "040104b0") },
                                                                  { pe::rtVersion, 1, 0x0407, pe::productVersionInfo ("2", "040704b0") },
                                                                  { pe::rtVersion, 1, pe::langEnUs, info },
                                                                  { pe::rtVersion, 2, 0x0000, info } }))
        && write (folder, "bare-resource", 1, info)
        && write (folder, "bare-two-tables", 1, twoTables);

    if (! ok)
    {
        std::fprintf (stderr, "make_seed_corpus: could not write into %s\n", folder.c_str());
        return 1;
    }

    return 0;
}
