#include "engine/HfInstallationManager.h"

#include <gtest/gtest.h>

namespace
{
    std::shared_ptr<juce::ZipFile> emptyArchive()
    {
        return std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (nullptr, 0, false), true);
    }

    InstallationEntry entry (int kind, std::shared_ptr<juce::ZipFile> archive, juce::String basePath = {},
                             bool overwrite = true, bool setPermissions = true)
    {
        InstallationEntry e;
        e.kind = kind;
        e.archive = std::move (archive);
        e.basePath = basePath;
        e.overwrite = overwrite;
        e.setPermissions = setPermissions;
        return e;
    }

    // The manager is a process-wide singleton: each test starts from an empty one.
    struct InstallationManager : ::testing::Test
    {
        HfInstallationManager& manager = *HfInstallationManager::getInstance();

        void SetUp() override
        {
            manager.reset();
            manager.setTargetSubdirectory ("Hollowfen/Vistrel");
        }

        void TearDown() override { manager.reset(); }
    };

    const juce::String sep = juce::File::getSeparatorString();
}

TEST_F (InstallationManager, RoutesEntriesByKindAndOrdersTasksFoldersFirst)
{
    auto perTargetA = emptyArchive(), perTargetB = emptyArchive(), global0 = emptyArchive(), global2 = emptyArchive();

    manager.addEntry (entry (0, global0, "/opt/base0", false, false));
    manager.addEntry (entry (1, perTargetA));
    manager.addEntry (entry (2, global2, "/opt/base2"));
    manager.addEntry (entry (3, perTargetB, {}, false, true)); // any other kind is handled like 1
    manager.setTargetDirectories ({ "/plugins/one", "/plugins/two" });

    auto tasks = manager.buildTasks();

    struct Expected { std::shared_ptr<juce::ZipFile> archive; juce::String destination; bool overwrite, setPermissions; };
    const std::vector<Expected> expected {
        { perTargetA, "/plugins/one" + sep + "Hollowfen/Vistrel", true, true },
        { perTargetB, "/plugins/one" + sep + "Hollowfen/Vistrel", false, true },
        { perTargetA, "/plugins/two" + sep + "Hollowfen/Vistrel", true, true },
        { perTargetB, "/plugins/two" + sep + "Hollowfen/Vistrel", false, true },
        { global0, "/opt/base0" + sep + "Hollowfen/Vistrel", false, false },
        { global2, "/opt/base2" + sep + "Hollowfen/Vistrel", true, true },
    };

    ASSERT_EQ (tasks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (tasks[i].getArchive(), expected[i].archive);
        EXPECT_EQ (tasks[i].destination, expected[i].destination);
        EXPECT_EQ (tasks[i].overwrite, expected[i].overwrite);
        EXPECT_EQ (tasks[i].setPermissions, expected[i].setPermissions);
    }
}

TEST_F (InstallationManager, BuildsOnlyGlobalTasksWithoutTargetFoldersAndNoneWithoutEntries)
{
    EXPECT_TRUE (manager.buildTasks().empty());

    manager.addEntry (entry (1, emptyArchive()));
    EXPECT_TRUE (manager.buildTasks().empty());

    manager.addEntry (entry (2, nullptr, "/base")); // a null archive is accepted
    auto tasks = manager.buildTasks();
    ASSERT_EQ (tasks.size(), 1u);
    EXPECT_EQ (tasks[0].destination, "/base" + sep + "Hollowfen/Vistrel");
    EXPECT_EQ (tasks[0].getArchive(), nullptr);
}

TEST_F (InstallationManager, JoinsTheDestinationAsTextWithoutNormalising)
{
    manager.addEntry (entry (1, emptyArchive()));
    manager.setTargetDirectories ({ "/plugins/" });

    EXPECT_EQ (manager.buildTasks().at (0).destination, "/plugins/" + sep + "Hollowfen/Vistrel");
}

TEST_F (InstallationManager, RefusesRootAndEmptySubdirectoriesAndKeepsTheOldValue)
{
    struct Case { const char* text; const char* thrown; };
    const Case cases[] = {
        { "/", "Target directory cannot be root '/'" },
        { "", "Target directory cannot be empty" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        try
        {
            manager.setTargetSubdirectory (c.text);
            FAIL() << "nothing thrown";
        }
        catch (const char* message)
        {
            EXPECT_STREQ (message, c.thrown);
        }
        EXPECT_EQ (manager.getTargetSubdirectory(), "Hollowfen/Vistrel");
    }

    for (auto* accepted : { "\\", "a/b/c" })
    {
        manager.setTargetSubdirectory (accepted);
        EXPECT_EQ (manager.getTargetSubdirectory(), accepted);
    }
}

TEST_F (InstallationManager, ResetEmptiesTheListsAndKeepsTheSubdirectory)
{
    auto archive = emptyArchive();
    manager.addEntry (entry (1, archive));
    manager.addEntry (entry (0, archive, "/base"));
    manager.setTargetDirectories ({ "/plugins" });
    ASSERT_EQ (manager.buildTasks().size(), 2u);
    EXPECT_EQ (archive.use_count(), 3);

    manager.reset();

    EXPECT_TRUE (manager.buildTasks().empty());
    EXPECT_EQ (manager.getTargetSubdirectory(), "Hollowfen/Vistrel");
    EXPECT_EQ (archive.use_count(), 1); // the manager let go of its shares
}

TEST (InstallationTask, InstalledFilePathsFollowTheArchiveOrderBelowTheDestination)
{
    juce::MemoryOutputStream zipData;
    {
        juce::ZipFile::Builder builder;
        builder.addEntry (new juce::MemoryInputStream ("top", 3, true), 9, "top.txt", juce::Time());
        builder.addEntry (new juce::MemoryInputStream ("sub", 3, true), 9, "folder/inner.txt", juce::Time());
        builder.writeToStream (zipData, nullptr);
    }
    auto archive = std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (zipData.getMemoryBlock(), true), true);

    InstallationTask task (archive, "/dest/Hollowfen", true, true);
    auto files = task.getInstalledFilePaths();

    ASSERT_EQ (files.size(), 2u);
    const juce::File destination ("/dest/Hollowfen");
    EXPECT_EQ (files[0], destination.getChildFile ("top.txt"));
    EXPECT_EQ (files[1], destination.getChildFile ("folder").getChildFile ("inner.txt"));

    InstallationTask empty (std::make_shared<juce::ZipFile> (new juce::MemoryInputStream (nullptr, 0, false), true), "/d", true, true);
    EXPECT_TRUE (empty.getInstalledFilePaths().empty());
}
