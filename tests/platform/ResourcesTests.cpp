#include "platform/Resources.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

// The test executables carry the installer's payload archive as resource 103 (RCDATA).
TEST (Resources, ThePayloadArchiveIsResource103OfTypeRcData)
{
    auto resource = platform::findResource (103, platform::rtRcData);
    ASSERT_NE (resource, nullptr);

    auto loaded = platform::loadResource (resource);
    ASSERT_NE (loaded, nullptr);

    auto* data = platform::lockResource (loaded);
    auto size = platform::sizeofResource (resource);
    ASSERT_NE (data, nullptr);
    ASSERT_GT (size, 4u);
    EXPECT_EQ (std::memcmp (data, "PK\x03\x04", 4), 0);

    // The same bytes on every lookup: they stay where they are for the whole run.
    EXPECT_EQ (platform::lockResource (platform::loadResource (platform::findResource (103, platform::rtRcData))), data);

    juce::ZipFile archive (new juce::MemoryInputStream (data, size, false), true);
    ASSERT_EQ (archive.getNumEntries(), 1);
    EXPECT_EQ (archive.getEntry (0)->filename, "Vistrel.aex");
}

TEST (Resources, AResourceThatIsNotThereGivesNothing)
{
    struct Case { int id; int type; };
    const Case cases[] {
        { 104, platform::rtRcData },  // no such id
        { 103, 3 },                   // the id, but another type (RT_ICON)
        { 0, 0 },
    };

    for (auto c : cases)
    {
        SCOPED_TRACE (juce::String (c.id) + "/" + juce::String (c.type));
        auto resource = platform::findResource (c.id, c.type);
        EXPECT_EQ (resource, nullptr);
        EXPECT_EQ (platform::loadResource (resource), nullptr);
        EXPECT_EQ (platform::lockResource (platform::loadResource (resource)), nullptr);
        EXPECT_EQ (platform::sizeofResource (resource), 0u);
    }
}
