#include "discovery/ProductVersion.h"
#include "platform/VersionInfo.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The system's version-information calls, reached with UTF-16 paths and giving UTF-16
// texts, which the platform layer converts: folders, file names and versions beyond ASCII
// read as they are whatever the program's code page (the test programs run without the
// UTF-8 one, as programs do on Windows before 10 1903).
namespace
{
    constexpr const char* productVersionPath = "\\StringFileInfo\\040904b0\\ProductVersion";

    // A plug-in of that product version at a path of the test's own, with the buffer that
    // the calls filled for it.
    struct PluginBuffer
    {
        testing_support::TemporaryFolder temp;
        juce::File file;
        std::string path;
        std::vector<char> block;

        PluginBuffer (const juce::String& relativePath, const std::string& version)
            : file (temp.folder.getChildFile (relativePath)), path (file.getFullPathName().toStdString())
        {
            testing_support::writeFile (file, pe::pluginWithProductVersion (version));
            block.resize (platform::getFileVersionInfoSize (path.c_str(), nullptr));
        }

        bool fill() { return ! block.empty() && platform::getFileVersionInfo (path.c_str(), 0, (std::uint32_t) block.size(), block.data()); }
    };

    std::uint32_t le32 (const void* p)
    {
        const auto* b = static_cast<const std::uint8_t*> (p);
        return std::uint32_t (b[0]) | std::uint32_t (b[1]) << 8 | std::uint32_t (b[2]) << 16 | std::uint32_t (b[3]) << 24;
    }
}

TEST (WindowsVersionInfo, ReadsTheProductVersionAtPathsAndOfTextsBeyondAscii)
{
    const auto u = [] (const char* utf8) { return juce::String::fromUTF8 (utf8); };
    const juce::String sizeAndPlugIn = u ("Gr\xc3\xb6\xc3\x9f" "e \xe6\x8f\x92\xe4\xbb\xb6"); // "Größe 插件"

    struct Case
    {
        const char* what;
        juce::String relativePath;
        std::optional<std::string> version; // the file written, nullopt: none
        bool is64Bit;
        juce::String expected;
    };

    const std::vector<Case> cases {
        { "a folder of Latin and CJK letters", sizeAndPlugIn + "\\Vistrel.aex", "1.3.2", true, "1.3.2" },
        { "PE32 in a folder beyond Latin-1", u ("Plug-ins \xce\xb2\xe2\x82\xac\\Vistrel32.aex"), "1.3.2", false, "1.3.2" },
        { "a file name beyond ASCII", u ("\xe6\x8f\x92\xe4\xbb\xb6\\Gr\xc3\xb6\xc3\x9f" "e.aex"), "1.3.2", true, "1.3.2" },
        { "a version beyond ASCII", "Vistrel.aex", "1.3.2 \xce\xb2", true, u ("1.3.2 \xce\xb2") },
        { "a version with a surrogate pair", sizeAndPlugIn + "\\Vistrel.aex", "\xe2\x82\xac 4.1 \xf0\x9f\x98\x80", false,
          u ("\xe2\x82\xac 4.1 \xf0\x9f\x98\x80") },
        { "a missing file", sizeAndPlugIn + "\\Vistrel.aex", std::nullopt, true, "" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        testing_support::TemporaryFolder temp;
        const auto file = temp.folder.getChildFile (c.relativePath);
        if (c.version)
            testing_support::writeFile (file, pe::pluginWithProductVersion (*c.version, c.is64Bit));

        EXPECT_EQ (getProductVersion (file), c.expected);
    }

    testing_support::TemporaryFolder temp;
    const auto notAnImage = temp.make (sizeAndPlugIn).getChildFile ("notes.txt");
    ASSERT_TRUE (notAnImage.replaceWithText ("MZ but nothing more"));
    EXPECT_EQ (getProductVersion (notAnImage), "");
}

TEST (WindowsVersionInfo, TextsOfOneBufferStayValidAndARepeatedQueryGivesTheSameBytes)
{
    PluginBuffer plugin (juce::String::fromUTF8 ("\xe6\x8f\x92\xe4\xbb\xb6\\Vistrel.aex"), "1.3.2 \xce\xb2");
    ASSERT_TRUE (plugin.fill());
    auto* block = plugin.block.data();

    void* company = nullptr;
    void* product = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE (platform::verQueryValue (block, "\\StringFileInfo\\040904b0\\CompanyName", &company, &length));
    EXPECT_EQ (length, 10u);
    // Keys compare without regard to ASCII case.
    ASSERT_TRUE (platform::verQueryValue (block, "\\stringfileinfo\\040904B0\\PRODUCTVERSION", &product, &length));
    EXPECT_STREQ (static_cast<const char*> (product), "1.3.2 \xce\xb2");
    EXPECT_EQ (length, 9u) << "the UTF-8 bytes and the null";

    // The binary values, in place: the fixed file information and the translation.
    void* value = nullptr;
    ASSERT_TRUE (platform::verQueryValue (block, "\\", &value, &length));
    EXPECT_EQ (length, 52u);
    EXPECT_EQ (le32 (value), 0xFEEF04BDu);
    ASSERT_TRUE (platform::verQueryValue (block, "\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ (length, 4u);
    EXPECT_EQ (le32 (value), 0x04B00409u);

    void* again = nullptr;
    ASSERT_TRUE (platform::verQueryValue (block, productVersionPath, &again, &length));
    EXPECT_EQ (again, product);
    EXPECT_EQ (length, 9u);
    EXPECT_STREQ (static_cast<const char*> (company), "Hollowfen");
    EXPECT_STREQ (static_cast<const char*> (product), "1.3.2 \xce\xb2");

    for (auto* missing : { "\\StringFileInfo\\040904b0\\Missing", "\\StringFileInfo\\040904e4\\ProductVersion", "\\Nothing" })
    {
        SCOPED_TRACE (missing);
        EXPECT_FALSE (platform::verQueryValue (block, missing, &value, &length));
    }
}

// The buffer holds the system's block and the room for its converted texts: a smaller one
// is refused, and nothing is written past it.
TEST (WindowsVersionInfo, ABufferSmallerThanAskedForIsRefusedAndNeverWrittenPast)
{
    PluginBuffer plugin (juce::String::fromUTF8 ("Gr\xc3\xb6\xc3\x9f" "e\\Vistrel.aex"), "1.3.2");
    const auto size = static_cast<std::uint32_t> (plugin.block.size());
    ASSERT_GT (size, 0u);

    constexpr size_t guard = 256;

    for (std::uint32_t given : { size, size - 1, size / 2, 13u, 8u, 0u })
    {
        SCOPED_TRACE (given);
        std::vector<std::uint8_t> buffer (given + guard, 0xEE);
        const bool copied = platform::getFileVersionInfo (plugin.path.c_str(), 0, given, buffer.data());
        EXPECT_EQ (copied, given == size);

        if (copied)
        {
            void* value = nullptr;
            std::uint32_t length = 0;
            ASSERT_TRUE (platform::verQueryValue (buffer.data(), productVersionPath, &value, &length));
            EXPECT_STREQ (static_cast<const char*> (value), "1.3.2");
        }

        for (size_t i = given; i < buffer.size(); ++i)
            ASSERT_EQ (buffer[i], 0xEE) << "written past the buffer at " << i;
    }
}
