#include "tests/lookandfeel/Rendering.h"
#include "tests/support/TestApplication.h"
#include "tests/support/WizardFixtures.h"
#include "wizard/StepAfterEffectsPathComponent.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
    struct FolderPage : ::testing::Test
    {
        TemporaryFolder temp;
        ScriptedDialogs dialogs;

        juce::StringArray listTexts (StepAfterEffectsPathComponent& page)
        {
            juce::StringArray texts;
            for (auto& row : page.container->getRows())
            {
                if (auto* toggle = dynamic_cast<juce::ToggleButton*> (row.get()))
                    texts.add ("[" + juce::String (toggle->getToggleState() ? "x" : " ") + "] " + toggle->getButtonText());
                else if (auto* label = dynamic_cast<juce::Label*> (row.get()))
                    texts.add ("    " + label->getText());
            }
            return texts;
        }
    };
}

TEST_F (FolderPage, WithNothingFoundShowsTheHintAndTheEmptyListMessageAndCannotContinue)
{
    ScopedRegistry registry ({});
    StepAfterEffectsPathComponent page (nullptr);
    page.setSize (332, 260);

    EXPECT_TRUE (page.installations.empty());
    EXPECT_EQ (page.hintLabel->getText(), "Please locate your After\nEffects folder.");
    EXPECT_TRUE (page.emptyListLabel->isVisible());
    EXPECT_FALSE (page.canContinue());
    EXPECT_EQ (page.requiredSpaceLabel->getText(), "? MB\n");

    // Centred over the viewport.
    EXPECT_EQ (page.emptyListLabel->getBounds(), juce::Rectangle<int> (57, 74, 218, 80));
    EXPECT_EQ (page.emptyListLabel->getBounds().getCentreX(), page.viewport->getBounds().getCentreX());
}

TEST_F (FolderPage, LaysOutItsChildrenByTheTable)
{
    ScopedRegistry registry ({});
    StepAfterEffectsPathComponent page (nullptr);
    page.setSize (332, 260);

    struct Case { juce::Component* child; juce::Rectangle<int> bounds; const char* name; };
    const Case cases[] = {
        { page.titleLabel.get(), { 20, 4, 247, 48 }, "new label" },
        { page.browseButton.get(), { 200, 193, 64, 24 }, "new button" },
        { page.requiredSpaceCaption.get(), { 171, 237, 120, 24 }, "new label" },
        { page.requiredSpaceLabel.get(), { 281, 237, 70, 24 }, "new label" },
        { page.hintLabel.get(), { 21, 185, 179, 39 }, "new label" },
        { page.viewport.get(), { 20, 48, 292, 132 }, "new viewport" },
    };
    for (auto& c : cases)
    {
        EXPECT_EQ (c.child->getBounds(), c.bounds) << c.child->getName();
        EXPECT_EQ (c.child->getName(), c.name);
    }
    EXPECT_EQ (page.container->getWidth(), page.viewport->getWidth());
    EXPECT_EQ (page.hintLabel->getMinimumHorizontalScale(), 1.0f);
    EXPECT_EQ (page.browseButton->getButtonText(), "Browse");
}

TEST_F (FolderPage, ListsDiscoveredInstallationsTickedWithStatusAndKeepsListOrder)
{
    auto cs6 = temp.make ("CS6/Plug-ins");
    auto cc = temp.make ("CC/Plug-ins");
    auto cc2015 = temp.make ("CC2015/Plug-ins");
    installPluginCopy (cc, "1.3.2");
    installPluginCopy (cc2015, "1.2.0");

    ScopedRegistry registry ({ { "11", cs6 }, { "12", cc }, { "13.5", cc2015 } });
    StepAfterEffectsPathComponent page (nullptr);

    EXPECT_EQ (listTexts (page), juce::StringArray ({ "[x] Adobe After Effects CS6",
                                                      "[x] Adobe After Effects CC 2012 (REPAIR)",
                                                      "[x] Adobe After Effects CC 2015 (UPDATE)" }));
    EXPECT_FALSE (page.emptyListLabel->isVisible());
    EXPECT_EQ (page.hintLabel->getText(), "Haven't found your version of After Effects?");

    // Untick the first and last through the list itself; the order of paths stays the list's.
    page.container->getToggles()[2]->triggerClick();
    page.container->getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (page.getSelectedPaths(), std::vector<juce::String> ({ cc.getFullPathName() }));
    EXPECT_TRUE (page.canContinue());

    page.container->getToggles()[0]->triggerClick();
    page.container->getToggles()[1]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (page.getSelectedPaths(), std::vector<juce::String> ({ cs6.getFullPathName() }));

    page.container->getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_FALSE (page.canContinue());
}

TEST_F (FolderPage, ALongEntryIsFittedIntoItsRow)
{
    auto cc = temp.make ("CC/Plug-ins");
    installPluginCopy (cc, "2.0");
    ScopedRegistry registry ({ { "12", cc } });
    juce::TsLookAndFeel lookAndFeel;
    StepAfterEffectsPathComponent page (nullptr);
    page.setLookAndFeel (&lookAndFeel);
    page.setSize (332, 260);

    auto& entry = *page.container->getToggles()[0];
    ASSERT_EQ (entry.getButtonText(), "Adobe After Effects CC 2012 (DOWNGRADE)");
    ASSERT_EQ (entry.getWidth(), 292);

    // Drawn into an image wider than the row: nothing of the text lies beyond it.
    juce::Image image (juce::Image::ARGB, 400, entry.getHeight(), true);
    {
        juce::Graphics g (image);
        lookAndFeel.drawToggleButton (g, entry, false, false);
    }
    const auto right = rendering::boundsWhere (image, rendering::isVisible).getRight();
    EXPECT_GT (right, 200);
    EXPECT_LE (right, entry.getWidth());
    page.setLookAndFeel (nullptr);
}

namespace
{
    // Every version key that discovery reads, oldest first.
    const char* const allVersionKeys[] = { "10.0", "10.5", "11", "12", "13", "13.5", "13.8" };

    // A plug-in folder per version key for the first count keys; the last holds a newer plug-in.
    std::vector<std::pair<juce::String, juce::File>> discoveredFolders (const TemporaryFolder& temp, size_t count)
    {
        std::vector<std::pair<juce::String, juce::File>> folders;
        for (size_t i = 0; i < count; ++i)
            folders.emplace_back (allVersionKeys[i], temp.make (juce::String ("AE ") + allVersionKeys[i] + "/Plug-ins"));
        if (count > 0)
            installPluginCopy (folders.back().second, "2.0");
        return folders;
    }

    // With the scroll bar showing, every row ends at or left of it; without it, every row
    // is as wide as the viewport.
    ::testing::AssertionResult rowsBesideScrollBar (StepAfterEffectsPathComponent& page, bool barExpected)
    {
        auto& viewport = *page.viewport;
        auto& bar = viewport.getVerticalScrollBar();

        if (bar.isVisible() != barExpected)
            return ::testing::AssertionFailure() << "the scroll bar is " << (bar.isVisible() ? "shown" : "hidden")
                                                 << " beside " << page.container->getRows().size() << " rows";

        for (auto& row : page.container->getRows())
        {
            const auto inViewport = viewport.getLocalArea (row.get(), row->getLocalBounds());

            if (barExpected ? inViewport.getRight() > bar.getX() : inViewport.getWidth() != viewport.getWidth())
                return ::testing::AssertionFailure() << "row '" << row->getName() << "' spans x " << inViewport.getX()
                                                     << " to " << inViewport.getRight() << " in a viewport "
                                                     << viewport.getWidth() << " wide, bar at x " << bar.getX();
        }

        return ::testing::AssertionSuccess();
    }
}

TEST_F (FolderPage, EveryRowEndsBeforeTheScrollBar)
{
    juce::TsLookAndFeel lookAndFeel;
    auto browsed = temp.make ("Browsed/Plug-ins");

    struct Case { size_t discovered; bool browse; size_t rows; bool bar; };
    const Case cases[] = {
        { 4, false, 4, false }, // fits the viewport: no bar
        { 6, true, 8, true },   // seven items, the browsed one with its detail line
        { 7, false, 7, true },  // every version key
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.discovered) + " discovered" + (c.browse ? " and one browsed" : ""));
        TemporaryFolder folders;
        ScopedRegistry registry (discoveredFolders (folders, c.discovered));
        StepAfterEffectsPathComponent page (nullptr);
        page.setLookAndFeel (&lookAndFeel);
        page.setSize (332, 260);

        if (c.browse)
        {
            dialogs.chosenFolders.push_back (browsed);
            page.browseForInstallation();
        }

        ASSERT_EQ (page.container->getRows().size(), c.rows);
        EXPECT_TRUE (rowsBesideScrollBar (page, c.bar));
        page.setLookAndFeel (nullptr);
    }
}

TEST_F (FolderPage, TheRowsFollowTheScrollBarWhenBrowseAddsOrReplacesARow)
{
    juce::TsLookAndFeel lookAndFeel;
    ScopedRegistry registry (discoveredFolders (temp, 4));
    StepAfterEffectsPathComponent page (nullptr);
    page.setLookAndFeel (&lookAndFeel);
    page.setSize (332, 260);
    ASSERT_TRUE (rowsBesideScrollBar (page, false));

    dialogs.chosenFolders.push_back (temp.make ("First/Plug-ins")); // appended: six rows
    page.browseForInstallation();
    ASSERT_EQ (page.container->getRows().size(), 6u);
    EXPECT_TRUE (rowsBesideScrollBar (page, true));

    dialogs.chosenFolders.push_back (temp.make ("Second/Plug-ins")); // replaces the custom record
    page.browseForInstallation();
    ASSERT_EQ (page.installations.back().path, temp.folder.getChildFile ("Second/Plug-ins"));
    EXPECT_TRUE (rowsBesideScrollBar (page, true));

    // A wider page gives a wider viewport; the rows still end before its bar.
    page.setSize (600, 400);
    EXPECT_TRUE (rowsBesideScrollBar (page, true));
    page.setLookAndFeel (nullptr);
}

TEST_F (FolderPage, FindsThePluginsFolderByItsThreeRules)
{
    auto root = temp.make ("Adobe After Effects CC");
    auto support = temp.make ("Adobe After Effects CC/Support Files/Plug-ins");
    auto besideParent = temp.make ("Other/Install");
    auto sibling = temp.make ("Other/Plug-ins");

    struct Case { juce::File chosen, expected; };
    const Case cases[] = {
        { temp.folder.getChildFile ("anywhere/PLUG-INS"), temp.folder.getChildFile ("anywhere/PLUG-INS") }, // not even required to exist
        { root, support },
        { besideParent, sibling },
        { temp.make ("Nothing/Here"), juce::File() },
    };
    for (auto& c : cases)
        EXPECT_EQ (StepAfterEffectsPathComponent::findPluginsFolder (c.chosen), c.expected) << c.chosen.getFullPathName();
}

TEST_F (FolderPage, BrowseAddsCustomRecordsAndRefusesWhatIsMissingOrListed)
{
    auto cc = temp.make ("AE/CC/Support Files/Plug-ins");
    auto second = temp.make ("AE/Second/Plug-ins");
    auto third = temp.make ("AE/Third/Plug-ins");
    ScopedRegistry registry ({ { "12", cc } });
    StepAfterEffectsPathComponent page (nullptr);
    ASSERT_EQ (page.installations.size(), 1u);

    // Cancelled dialog: nothing.
    dialogs.chosenFolders.push_back (std::nullopt);
    page.browseForInstallation();
    EXPECT_EQ (page.installations.size(), 1u);

    // No plug-in folder there.
    dialogs.chosenFolders.push_back (temp.make ("Empty/Folder"));
    page.browseForInstallation();
    EXPECT_EQ (dialogs.shown.back().title, "After Effects not found");
    EXPECT_EQ (dialogs.shown.back().message, "Selected folder does not contain an After Effects installation. "
                                             "Please select root folder of your After Effects installation.");

    // The discovered folder again, in other letter case (made here too: this file system tells cases apart).
    auto otherCase = juce::File (cc.getFullPathName().replace ("Plug-ins", "PLUG-INS"));
    otherCase.createDirectory();
    EXPECT_TRUE (page.isAlreadyListed (otherCase));
    EXPECT_FALSE (page.isAlreadyListed (second));
    dialogs.chosenFolders.push_back (otherCase);
    page.browseForInstallation();
    EXPECT_EQ (dialogs.shown.back().title, "Already listed");
    EXPECT_EQ (dialogs.shown.back().message, "Selected After Effects installation is already listed.");
    EXPECT_EQ (page.installations.size(), 1u);

    // Two records whose last is custom: a further browse replaces that last one.
    dialogs.chosenFolders.push_back (second);
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 2u);
    EXPECT_TRUE (page.installations[1].custom);
    juce::StringArray expected { "[x] Adobe After Effects CC 2012", "[x] Custom location" };
    expected.add ("    " + second.getFullPathName());
    EXPECT_EQ (listTexts (page), expected);

    dialogs.chosenFolders.push_back (third);
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 2u);
    EXPECT_EQ (page.installations[1].path, third);
    EXPECT_EQ (dialogs.shown.back().kind, "chooser");
    EXPECT_EQ (dialogs.shown.back().title, "Choose a directory...");
}

TEST_F (FolderPage, BrowseOnAnEmptyListAppendsCustomRecordsUntilThereAreTwo)
{
    auto first = temp.make ("A/Plug-ins");
    auto second = temp.make ("B/Plug-ins");
    auto third = temp.make ("C/Plug-ins");
    ScopedRegistry registry ({});
    StepAfterEffectsPathComponent page (nullptr);

    dialogs.chosenFolders.push_back (first);
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 1u);
    EXPECT_FALSE (page.emptyListLabel->isVisible());
    EXPECT_TRUE (page.canContinue());
    EXPECT_EQ (page.hintLabel->getText(), "Please locate your After\nEffects folder."); // keeps its second text

    dialogs.chosenFolders.push_back (second); // one custom record: appended
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 2u);

    dialogs.chosenFolders.push_back (third); // last is custom: replaced
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 2u);
    EXPECT_EQ (page.installations[0].path, first);
    EXPECT_EQ (page.installations[1].path, third);
}

TEST_F (FolderPage, ABrowsedFolderWithANewerPluginComesInAsDowngrade)
{
    auto newer = temp.make ("Newer/Plug-ins");
    installPluginCopy (newer, "1.4.0");
    ScopedRegistry registry ({});
    StepAfterEffectsPathComponent page (nullptr);
    EXPECT_FALSE (page.hasHigherVersionSelected());

    dialogs.chosenFolders.push_back (newer);
    page.browseForInstallation();
    ASSERT_EQ (page.installations.size(), 1u);
    EXPECT_EQ (page.installations[0].status, "DOWNGRADE");
    EXPECT_TRUE (page.installations[0].selected);
    EXPECT_TRUE (page.hasHigherVersionSelected());

    page.container->getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_FALSE (page.hasHigherVersionSelected());
}
