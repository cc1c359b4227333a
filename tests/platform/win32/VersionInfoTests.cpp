#include "discovery/ProductVersion.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

// The system's version-information calls take the path and give the text as UTF-8 (the
// program's code page), so folders and versions beyond ASCII read as they are.
TEST (WindowsVersionInfo, ReadsPe32AndPe32PlusImagesInFoldersBeyondAscii)
{
    testing_support::TemporaryFolder temp;
    const auto folder = temp.make (juce::String::fromUTF8 ("Plug-ins \xce\xb2\xe2\x82\xac"));

    for (bool is64Bit : { true, false })
    {
        SCOPED_TRACE (is64Bit ? "PE32+" : "PE32");
        const auto file = folder.getChildFile (is64Bit ? "Vistrel64.aex" : "Vistrel32.aex");
        testing_support::writeFile (file, pe::pluginWithProductVersion ("1.3.2 \xce\xb2", is64Bit));
        EXPECT_EQ (getProductVersion (file), juce::String::fromUTF8 ("1.3.2 \xce\xb2"));
    }

    const auto notAnImage = folder.getChildFile ("notes.txt");
    notAnImage.replaceWithText ("MZ but nothing more");
    EXPECT_EQ (getProductVersion (notAnImage), "");
}
