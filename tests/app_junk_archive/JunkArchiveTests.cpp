#include "app/EmbeddedArchive.h"

#include <gtest/gtest.h>

// This executable's resource 103 holds bytes that are no zip archive.
TEST (EmbeddedArchiveUnreadable, GivesAnArchiveWithoutEntries)
{
    auto entry = loadEmbeddedArchiveEntry();
    ASSERT_NE (entry.getArchive(), nullptr);
    EXPECT_EQ (entry.getArchive()->getNumEntries(), 0);
}
