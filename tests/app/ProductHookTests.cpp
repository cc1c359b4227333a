#include "engine/HfInstallationManager.h"
#include "resources/ProductData.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

TEST (ProductHooks, AnswerTheProductValues)
{
    VistrelInstallerApplication& app = TestApplication::get();

    EXPECT_EQ (app.getApplicationName(), "Vistrel Installer");
    EXPECT_EQ (app.getApplicationVersion(), "1.3.2");
    EXPECT_EQ (app.getTargetSubdirectory(), "Hollowfen" + juce::String (juce::File::getSeparatorString()) + "Vistrel");
    EXPECT_EQ (app.getPluginFileName(), "Vistrel.aex");
    EXPECT_EQ (app.getTemporaryFolderName(), "HfVistrelInstaller");
    EXPECT_FALSE (app.moreThanOneInstanceAllowed());
    EXPECT_EQ (app.getWelcomeText(),
               "This will install Vistrel @VERSION@ plugin on your computer.\n\n"
               "It is recommended to close all other applications before continuing.\n\n"
               "Press Next to begin with the instalation.\n");
}

TEST (ProductHooks, ImagesDecodeAtTheirSizes)
{
    auto banner = TestApplication::get().getLogoImage();
    ASSERT_TRUE (banner.isValid());
    EXPECT_EQ (banner.getWidth(), 160);
    EXPECT_EQ (banner.getHeight(), 271);

    auto tick = ProductData::tickPng();
    auto tickImage = juce::ImageCache::getFromMemory (tick.data, (int) tick.size);
    ASSERT_TRUE (tickImage.isValid());
    EXPECT_EQ (tickImage.getWidth(), 51);
    EXPECT_EQ (tickImage.getHeight(), 41);
    EXPECT_TRUE (tickImage.hasAlphaChannel());
}

TEST (ProductHooks, LicenceIsFiveAsciiParagraphsEachEndingInAFullStopAndBlank)
{
    auto text = TestApplication::get().getLicenseText();
    EXPECT_EQ (text.length(), 2116);

    for (auto c : text)
        EXPECT_TRUE (c < 128);

    juce::StringArray paragraphs;
    paragraphs.addTokens (text.replace ("\n\n", "\x01"), "\x01", "");
    ASSERT_EQ (paragraphs.size(), 5);
    for (auto& p : paragraphs)
    {
        EXPECT_TRUE (p.endsWith (". ")) << p;
        EXPECT_FALSE (p.containsChar ('\n'));
    }
    EXPECT_EQ (paragraphs[1], "DISCLAIMER OF WARRANTIES AND LIMITATION OF LIABILITY. ");
    EXPECT_TRUE (text.contains ("HOLLOWFEN"));
}

TEST (ProductHooks, EntriesHookRegistersTheEmbeddedArchiveForEveryTarget)
{
    auto& manager = *HfInstallationManager::getInstance();
    manager.reset();
    manager.setTargetSubdirectory (TestApplication::get().getTargetSubdirectory());

    TestApplication::get().addInstallationEntries();
    manager.setTargetDirectories ({ "/a", "/b" });
    auto tasks = manager.buildTasks();

    ASSERT_EQ (tasks.size(), 2u);
    ASSERT_NE (tasks[0].getArchive(), nullptr);
    EXPECT_EQ (tasks[0].getArchive(), tasks[1].getArchive());
    EXPECT_EQ (tasks[1].destination, "/b/Hollowfen/Vistrel");
    manager.reset();
}
