#include "platform/VersionInfo.h"
#include "platform/posix/VersionInfoPe.h"
#include "tests/support/DiscoveryFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using testing_support::TemporaryFolder;
using testing_support::endsWithin;
using testing_support::makeNamedPipe;
using testing_support::writeFile;

namespace
{
    constexpr const char* productVersionPath = "\\StringFileInfo\\040904b0\\ProductVersion";

    std::uint32_t at32 (const pe::Bytes& b, size_t offset)
    {
        return std::uint32_t (b[offset]) | std::uint32_t (b[offset + 1]) << 8
             | std::uint32_t (b[offset + 2]) << 16 | std::uint32_t (b[offset + 3]) << 24;
    }

    // What the three calls give for a sub-block of a file: nullopt when any of them fails.
    std::optional<std::string> queryFile (const juce::File& file, const char* subBlock = productVersionPath)
    {
        const auto path = file.getFullPathName().toStdString();
        std::uint32_t handle = 1234;
        const auto size = platform::getFileVersionInfoSize (path.c_str(), &handle);

        if (size == 0)
            return std::nullopt;

        EXPECT_EQ (handle, 0u);
        std::vector<char> block (size);

        if (! platform::getFileVersionInfo (path.c_str(), 0, size, block.data()))
            return std::nullopt;

        void* value = nullptr;
        std::uint32_t length = 0;

        if (! platform::verQueryValue (block.data(), subBlock, &value, &length))
            return std::nullopt;

        return std::string (static_cast<const char*> (value), length);
    }

    // The same over an image held in memory: the product version text (without its
    // null), or nullopt.
    std::optional<std::string> productVersionOfImage (const std::uint8_t* data, size_t size,
                                                      const char* subBlock = productVersionPath)
    {
        const auto resource = platform::pe::findVersionResource (platform::pe::MemorySource (data, size));
        if (! resource)
            return std::nullopt;

        const auto blockSize = platform::pe::versionBlockSize (resource->size());
        std::vector<std::uint8_t> block (blockSize);

        if (! platform::pe::makeVersionBlock (*resource, blockSize, block.data()))
            return std::nullopt;

        void* value = nullptr;
        std::uint32_t length = 0;

        if (! platform::verQueryValue (block.data(), subBlock, &value, &length))
            return std::nullopt;

        // Whatever the image held, the answer lies inside the block.
        const auto* v = static_cast<const std::uint8_t*> (value);
        EXPECT_GE (v, block.data());
        EXPECT_LE (v + length, block.data() + block.size());

        if (length == 0 || v[length - 1] != 0)
            return std::string (reinterpret_cast<const char*> (v), length);

        return std::string (reinterpret_cast<const char*> (v), length - 1);
    }

    std::optional<std::string> productVersionOfImage (const pe::Bytes& image)
    {
        return productVersionOfImage (image.data(), image.size());
    }

    // A plug-in file of version 1.3.2 in a folder of the test's own.
    struct PluginFile
    {
        TemporaryFolder temp;
        juce::File file = temp.folder.getChildFile ("plugin.aex");
        std::string path = file.getFullPathName().toStdString();

        PluginFile() { writeFile (file, pe::pluginWithProductVersion ("1.3.2")); }
    };

    // Where the version resource's bytes begin in an image that the writer made.
    size_t versionDataOffset (const pe::Bytes& image)
    {
        const std::string key ("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
        const auto found = std::search (image.begin(), image.end(), key.begin(), key.end());
        return size_t (found - image.begin()) - 6;
    }
}

TEST (VersionInfo, ReadsTheProductVersionOfPe32AndPe32PlusImagesAsUtf8)
{
    TemporaryFolder temp;

    struct Case { std::string version; bool is64Bit; };
    const Case cases[] = {
        { "1.3.2", true },
        { "1.3.2", false },
        { "2.0.0b7", false },
        { "1.3.2 \xCE\xB2", true },               // U+03B2, two bytes of UTF-8
        { "\xE2\x82\xAC 4.1", false },            // U+20AC, three bytes
        { "5 \xF0\x9F\x98\x80", true },           // U+1F600: a surrogate pair in UTF-16
        { "", true },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.version + (c.is64Bit ? " PE32+" : " PE32"));
        const auto file = temp.folder.getChildFile ("plugin.aex");
        writeFile (file, pe::pluginWithProductVersion (c.version, c.is64Bit));

        // The length counts the terminating null, as the narrow Windows call reports it.
        EXPECT_EQ (queryFile (file), std::optional<std::string> (c.version + '\0'));
    }
}

TEST (VersionInfo, AnswersTheOtherSubBlocksOfTheSameBuffer)
{
    const PluginFile plugin;
    const auto& path = plugin.path;
    const auto size = platform::getFileVersionInfoSize (path.c_str(), nullptr);
    std::vector<char> block (size);
    ASSERT_TRUE (platform::getFileVersionInfo (path.c_str(), 0, size, block.data()));

    void* value = nullptr;
    std::uint32_t length = 0;

    // The root: VS_FIXEDFILEINFO, 52 bytes starting with its signature.
    ASSERT_TRUE (platform::verQueryValue (block.data(), "\\", &value, &length));
    EXPECT_EQ (length, 52u);
    EXPECT_EQ (at32 (pe::Bytes (static_cast<std::uint8_t*> (value), static_cast<std::uint8_t*> (value) + 4), 0), 0xFEEF04BDu);

    ASSERT_TRUE (platform::verQueryValue (block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ (length, 4u);
    EXPECT_EQ (at32 (pe::Bytes (static_cast<std::uint8_t*> (value), static_cast<std::uint8_t*> (value) + 4), 0), 0x04B00409u);

    // Two texts of one buffer stay valid side by side; keys compare without regard to case.
    void* company = nullptr;
    void* product = nullptr;
    ASSERT_TRUE (platform::verQueryValue (block.data(), "\\StringFileInfo\\040904b0\\CompanyName", &company, nullptr));
    ASSERT_TRUE (platform::verQueryValue (block.data(), "\\stringfileinfo\\040904B0\\PRODUCTVERSION", &product, &length));
    EXPECT_STREQ (static_cast<const char*> (company), "Hollowfen");
    EXPECT_STREQ (static_cast<const char*> (product), "1.3.2");
    EXPECT_EQ (length, 6u);

    void* again = nullptr;
    ASSERT_TRUE (platform::verQueryValue (block.data(), productVersionPath, &again, &length));
    EXPECT_EQ (again, product);
    EXPECT_STREQ (static_cast<const char*> (company), "Hollowfen");

    for (auto* missing : { "\\StringFileInfo\\040904b0\\Missing", "\\StringFileInfo\\040904e4\\ProductVersion",
                           "\\StringFileInfo\\040904b0\\ProductVersion\\More", "\\Nothing" })
    {
        SCOPED_TRACE (missing);
        EXPECT_FALSE (platform::verQueryValue (block.data(), missing, &value, &length));
    }
}

TEST (VersionInfo, FailsForFilesWithoutTheVersionValue)
{
    TemporaryFolder temp;
    pe::Bytes mzOnly { 'M', 'Z' };
    pe::Bytes mzPointingPastTheEnd (64, 0);
    mzPointingPastTheEnd[0] = 'M';
    mzPointingPastTheEnd[1] = 'Z';
    pe::set32 (mzPointingPastTheEnd, 0x3C, 0x7FFFFFF0);

    const std::string text ("This is no executable.\n");
    const pe::Bytes junk (256, 0xA5);

    struct Case { const char* name; std::optional<pe::Bytes> content; bool hasVersionInfo; };
    const std::vector<Case> cases {
        { "missing file", std::nullopt, false },
        { "empty file", pe::Bytes {}, false },
        { "text file", pe::Bytes (text.begin(), text.end()), false },
        { "random bytes", junk, false },
        { "MZ only", mzOnly, false },
        { "MZ pointing past the end", mzPointingPastTheEnd, false },
        { "no resources", pe::dllImage ({}), false },
        { "only other resources", pe::dllImage ({ { 10, 103, pe::langEnUs, pe::Bytes (40, 1) }, { 3, 1, 0, pe::Bytes (8, 2) } }), false },
        { "version resource without 040904b0", pe::dllImage ({ { pe::rtVersion, 1, pe::langEnUs, pe::productVersionInfo ("1.3.2", "040904e4") } }), true },
        { "040904b0 without ProductVersion", pe::dllImage ({ { pe::rtVersion, 1, pe::langEnUs, pe::versionInfo ({ { "040904b0", { { "FileVersion", "1.3.2" } } } }) } }), true },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = temp.folder.getChildFile ("candidate.aex");
        file.deleteFile();
        if (c.content)
            writeFile (file, *c.content);

        const auto path = file.getFullPathName().toStdString();
        const auto size = platform::getFileVersionInfoSize (path.c_str(), nullptr);
        EXPECT_EQ (size != 0, c.hasVersionInfo);

        std::vector<char> block (std::max<std::uint32_t> (size, 64));
        EXPECT_EQ (platform::getFileVersionInfo (path.c_str(), 0, std::uint32_t (block.size()), block.data()), c.hasVersionInfo);
        EXPECT_EQ (queryFile (file), std::nullopt);
    }

    // A folder, and no path at all.
    EXPECT_EQ (platform::getFileVersionInfoSize (temp.folder.getFullPathName().toRawUTF8(), nullptr), 0u);
    EXPECT_EQ (platform::getFileVersionInfoSize (nullptr, nullptr), 0u);
}

// Nothing but a regular file is read: opening a named pipe would wait for a writer.
TEST (VersionInfo, APathThatIsNoRegularFileAnswersAtOnceAsAFileWithoutVersionInformation)
{
    TemporaryFolder temp;
    const auto pipe = temp.folder.getChildFile ("pipe.aex");
    ASSERT_TRUE (makeNamedPipe (pipe));

    const auto linkToPipe = temp.folder.getChildFile ("link to pipe.aex");
    ASSERT_TRUE (pipe.createSymbolicLink (linkToPipe, false));

    const auto socketFile = temp.folder.getChildFile ("socket.aex");
    const int listening = ::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE (listening, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const auto socketPath = socketFile.getFullPathName().toStdString();
    ASSERT_LT (socketPath.size(), sizeof (address.sun_path));
    std::memcpy (address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ (::bind (listening, reinterpret_cast<const sockaddr*> (&address), sizeof (address)), 0);

    const struct { const char* name; juce::File path; } cases[] {
        { "named pipe", pipe },
        { "link to a named pipe", linkToPipe },
        { "socket", socketFile },
        { "device", juce::File ("/dev/zero") },
        { "folder", temp.folder },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto path = c.path.getFullPathName().toStdString();
        std::uint32_t size = 1;
        bool copied = true;
        std::vector<char> block (4096);

        EXPECT_TRUE (endsWithin (5000, pipe, [&]
        {
            size = platform::getFileVersionInfoSize (path.c_str(), nullptr);
            copied = platform::getFileVersionInfo (path.c_str(), 0, std::uint32_t (block.size()), block.data());
        }));
        EXPECT_EQ (size, 0u);
        EXPECT_FALSE (copied);
    }

    ::close (listening);
}

TEST (VersionInfo, TakesTheVersionResourceAmongOtherResources)
{
    const auto image = pe::dllImage ({ { 10, 103, pe::langEnUs, pe::Bytes (100, 7) },
                                       { 3, 1, 0, pe::Bytes (12, 9) },
                                       { pe::rtVersion, 1, pe::langEnUs, pe::productVersionInfo ("4.5.6") } }, false);
    EXPECT_EQ (productVersionOfImage (image), std::optional<std::string> ("4.5.6"));
}

TEST (VersionInfo, ATruncatedImageAnswersOnlyOnceItHoldsTheWholeVersionResource)
{
    for (bool is64Bit : { true, false })
    {
        SCOPED_TRACE (is64Bit ? "PE32+" : "PE32");
        const auto image = pe::pluginWithProductVersion ("1.3.2", is64Bit);
        const auto versionAt = versionDataOffset (image);
        const auto versionEnd = versionAt + size_t (image[versionAt] | (image[versionAt + 1] << 8));

        for (size_t length = 0; length <= image.size(); ++length)
        {
            const auto answer = productVersionOfImage (image.data(), length);

            if (length >= versionEnd)
                ASSERT_EQ (answer, std::optional<std::string> ("1.3.2")) << "length " << length;
            else
                ASSERT_EQ (answer, std::nullopt) << "length " << length;
        }
    }

    // The same through a real file cut short inside the version resource.
    TemporaryFolder temp;
    auto image = pe::pluginWithProductVersion ("1.3.2");
    image.resize (versionDataOffset (image) + 40);
    const auto file = temp.folder.getChildFile ("cut.aex");
    writeFile (file, image);
    EXPECT_EQ (queryFile (file), std::nullopt);
}

TEST (VersionInfo, CorruptedHeadersAndDirectoriesAreRefusedOrReadWithinBounds)
{
    const auto good = pe::pluginWithProductVersion ("1.3.2");
    const auto ntAt = at32 (good, 0x3C);
    const size_t optionalAt = ntAt + 24;
    const size_t sectionsAt = optionalAt + size_t (good[ntAt + 20] | (good[ntAt + 21] << 8));
    const size_t resourceDirectoryAt = optionalAt + 112 + 2 * 8; // PE32+: data directory 2
    const size_t rsrcAt = at32 (good, sectionsAt + 20);
    const size_t typeEntryAt = rsrcAt + 16;
    const size_t idEntryAt = rsrcAt + 40;   // the first entry of the directory below RT_VERSION
    const size_t dataEntryAt = rsrcAt + 72; // after the root and the two one-entry directories
    const size_t versionAt = versionDataOffset (good);
    const auto versionLength = std::uint32_t (good[versionAt] | (good[versionAt + 1] << 8));

    struct Case { const char* name; size_t offset; std::uint32_t value; int width; std::optional<std::string> expected; };
    const std::vector<Case> cases {
        { "NT headers past the end", 0x3C, 0xFFFFFFF0u, 4, std::nullopt },
        { "NT headers inside the DOS header", 0x3C, 0x02, 4, std::nullopt },
        { "no PE signature", ntAt, 0x00004551u, 4, std::nullopt },
        { "unknown optional header", optionalAt, 0x30B, 2, std::nullopt },
        { "optional header cut before the directories", ntAt + 20, 100, 2, std::nullopt },
        { "optional header reaching past the end", ntAt + 20, 0xFFFF, 2, std::nullopt },
        { "too few data directories", optionalAt + 108, 2, 4, std::nullopt },
        { "no resource directory", resourceDirectoryAt, 0, 4, std::nullopt },
        { "resource directory outside every section", resourceDirectoryAt, 0x00F00000u, 4, std::nullopt },
        { "section table past the end", ntAt + 6, 0xFFFF, 2, std::nullopt },
        { "no sections", ntAt + 6, 0, 2, std::nullopt },
        { "section raw data past the end", sectionsAt + 20, 0xFFFFF000u, 4, std::nullopt },
        { "section claiming more than the file holds", sectionsAt + 16, 0xFFFFFFFFu, 4, std::string ("1.3.2") },
        { "huge entry count", rsrcAt + 14, 0xFFFF, 2, std::nullopt },
        { "version type not a directory", typeEntryAt + 4, 0x48, 4, std::nullopt },
        { "version type directory past the end", typeEntryAt + 4, 0xFFFFFFF0u, 4, std::nullopt },
        { "version resource named, not numbered", idEntryAt, 0x80000000u, 4, std::nullopt },
        { "data entry outside the section", dataEntryAt, 0x00900000u, 4, std::nullopt },
        { "data entry too short", dataEntryAt + 4, 4, 4, std::nullopt },
        { "data entry claiming 4 GiB", dataEntryAt + 4, 0xFFFFFFFFu, 4, std::string ("1.3.2") },
        { "root length zero", versionAt, 0, 2, std::nullopt },
        { "root length beyond the section", versionAt, 0xFFFF, 2, std::string ("1.3.2") },
        { "root cut before the string table", versionAt, versionLength - 200, 2, std::nullopt },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto image = good;
        if (c.width == 2)
            pe::set16 (image, c.offset, std::uint16_t (c.value));
        else
            pe::set32 (image, c.offset, c.value);

        EXPECT_EQ (productVersionOfImage (image), c.expected);
    }
}

TEST (VersionInfo, SurvivesEveryByteOfAnImageOverwrittenAndRandomDamage)
{
    // Any answer is acceptable here; productVersionOfImage checks that it lies inside
    // the block. (The fuzz target runs the same code under AddressSanitizer.)
    const auto good = pe::pluginWithProductVersion ("1.3.2", false);
    size_t answered = 0;

    for (size_t i = 0; i < good.size(); ++i)
    {
        for (std::uint8_t v : { 0x00, 0x01, 0x7F, 0x80, 0xFF })
        {
            auto image = good;
            image[i] = v;
            answered += productVersionOfImage (image).has_value() ? 1u : 0u;
        }
    }

    std::mt19937 random (20240611);
    for (int round = 0; round < 2000; ++round)
    {
        auto image = good;
        const auto changes = 1 + random() % 8;
        for (unsigned k = 0; k < changes; ++k)
            image[random() % image.size()] = std::uint8_t (random());
        answered += productVersionOfImage (image).has_value() ? 1u : 0u;
    }

    EXPECT_GT (answered, 0u); // most damage lands in padding: those images still answer
}

TEST (VersionInfo, ABufferSmallerThanAskedForGetsATruncatedCopyAndNothingBeyond)
{
    const PluginFile plugin;
    const auto& path = plugin.path;
    const auto size = platform::getFileVersionInfoSize (path.c_str(), nullptr);
    ASSERT_GT (size, 0u);

    constexpr size_t guard = 256;

    for (std::uint32_t given : { size, size - 1, size / 2, 100u, 20u, 13u, 8u, 0u })
    {
        SCOPED_TRACE (given);
        std::vector<std::uint8_t> buffer (given + guard, 0xEE);
        const bool copied = platform::getFileVersionInfo (path.c_str(), 0, given, buffer.data());
        EXPECT_EQ (copied, given >= 26); // a root node of 6 bytes, the signature and the room for its texts

        if (copied)
        {
            void* value = nullptr;
            std::uint32_t length = 0;
            const bool found = platform::verQueryValue (buffer.data(), productVersionPath, &value, &length);
            if (given == size)
            {
                EXPECT_TRUE (found);
            }
            platform::verQueryValue (buffer.data(), "\\", &value, &length);
            platform::verQueryValue (buffer.data(), "\\StringFileInfo\\040904b0\\CompanyName", &value, &length);
        }

        for (size_t i = given; i < buffer.size(); ++i)
            ASSERT_EQ (buffer[i], 0xEE) << "written past the buffer at " << i;
    }
}
