#include "app/EmbeddedArchive.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

// This executable is linked without embedded resources.
TEST (EmbeddedArchiveMissing, GivesAnEntryWithoutArchive)
{
    EXPECT_EQ (platform::findResource (103, platform::rtRcData), nullptr);

    auto entry = loadEmbeddedArchiveEntry();
    EXPECT_EQ (entry.kind, 1);
    EXPECT_EQ (entry.getArchive(), nullptr);
    EXPECT_TRUE (entry.overwrite);
    EXPECT_TRUE (entry.setPermissions);
}
