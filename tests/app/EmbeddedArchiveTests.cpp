#include "app/EmbeddedArchive.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

TEST (EmbeddedArchive, LoadsTheBuiltInArchiveWithOneDeflatedPluginEntry)
{
    auto entry = loadEmbeddedArchiveEntry();

    EXPECT_EQ (entry.kind, 1);
    EXPECT_TRUE (entry.getBasePath().isEmpty());
    EXPECT_TRUE (entry.overwrite);
    EXPECT_TRUE (entry.setPermissions);

    auto archive = entry.getArchive();
    ASSERT_NE (archive, nullptr);
    ASSERT_EQ (archive->getNumEntries(), 1);
    EXPECT_EQ (archive->getEntry (0)->filename, "Vistrel.aex");
    EXPECT_GT (archive->getEntry (0)->uncompressedSize, 0);

    // The entry's local header: signature, then the compression method at offset 8.
    auto resource = platform::findResource (103, platform::rtRcData);
    auto* bytes = static_cast<const juce::uint8*> (platform::lockResource (platform::loadResource (resource)));
    ASSERT_NE (bytes, nullptr);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), 0x04034b50u);
    EXPECT_EQ (juce::ByteOrder::littleEndianShort (bytes + 8), 8) << "deflated";

    // The archive really holds the plug-in: it inflates to its full size.
    std::unique_ptr<juce::InputStream> in (archive->createStreamForEntry (0));
    ASSERT_NE (in, nullptr);
    juce::MemoryBlock content;
    in->readIntoMemoryBlock (content);
    EXPECT_EQ ((juce::int64) content.getSize(), archive->getEntry (0)->uncompressedSize);
    EXPECT_EQ (content[0], 'M');
    EXPECT_EQ (content[1], 'Z');
}

TEST (EmbeddedArchive, EveryLoadSharesNothingWithTheLast)
{
    auto first = loadEmbeddedArchiveEntry();
    auto second = loadEmbeddedArchiveEntry();
    ASSERT_NE (first.archive, nullptr);
    EXPECT_NE (first.archive, second.archive);
    EXPECT_EQ (first.archive.use_count(), 1);
}

TEST (EmbeddedArchive, OtherResourceIdsAndTypesAreNotFound)
{
    EXPECT_EQ (platform::findResource (104, platform::rtRcData), nullptr);
    EXPECT_EQ (platform::findResource (103, 3), nullptr);
    EXPECT_EQ (platform::loadResource (nullptr), nullptr);
    EXPECT_EQ (platform::sizeofResource (nullptr), 0u);
}
